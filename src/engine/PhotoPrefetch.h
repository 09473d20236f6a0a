#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/Photo.h"

class WorkerThread;

// Decodes, on a worker thread, the photos the user is likely to open next (those beside
// the current one in the list), so that moving to one of them shows it at once. Holds at
// most kMaxHeld of them; a photo whose file changed since it was read is not handed out.
// Used from one thread (the user-interface thread).
class PhotoPrefetch {
public:
    static constexpr int kMaxHeld = 2;

    PhotoPrefetch();
    ~PhotoPrefetch();
    PhotoPrefetch(const PhotoPrefetch&) = delete;
    PhotoPrefetch& operator=(const PhotoPrefetch&) = delete;

    // The photos wanted next, most wanted first; empty paths are skipped and only the first
    // kMaxHeld count. Photos held or under way for other paths are given up.
    void prefetch(const std::vector<std::string>& paths);
    // The decoded photo of path when it was prefetched and its file still has the size and
    // modification time it had when it was read; waits for a decode of it under way. The
    // photo is given up either way; nothing when there is none to hand out.
    [[nodiscard]] std::optional<Photo> take(const std::string& path);
    // Gives up everything (another folder).
    void clear();

    // Photos decoded and held.
    [[nodiscard]] int heldCount() const;
    // Waits until the worker has nothing to do; msecs < 0 waits as long as it takes.
    bool waitForIdle(int msecs = -1);

    // What identifies a version of a file: its size in bytes and modification time.
    struct FileStamp {
        int64_t size = -1;
        int64_t modifiedNs = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    [[nodiscard]] static FileStamp stampOf(const std::string& path);

private:
    enum class State { Queued, Decoding, Done, Dropped };
    struct Entry {
        std::string path;
        State state = State::Queued;
        FileStamp stamp;
        std::optional<Photo> photo;
    };

    void decode(const std::shared_ptr<Entry>& entry);
    // Marks the entry dropped and forgets it; m_mutex held.
    void dropLocked(std::vector<std::shared_ptr<Entry>>::iterator it);

    mutable std::mutex m_mutex; // guards the entries and their fields
    std::condition_variable m_decoded;
    std::vector<std::shared_ptr<Entry>> m_entries;
    // Last: it goes first, while the members above still exist.
    std::unique_ptr<WorkerThread> m_worker;
};
