#include "engine/PhotoPrefetch.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "engine/WorkerThread.h"

PhotoPrefetch::PhotoPrefetch() : m_worker(std::make_unique<WorkerThread>()) {}

PhotoPrefetch::~PhotoPrefetch() {
    clear();
    m_worker->waitForIdle();
}

PhotoPrefetch::FileStamp PhotoPrefetch::stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return {static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

void PhotoPrefetch::prefetch(const std::vector<std::string>& paths) {
    std::vector<std::string> wanted;
    for (const std::string& path : paths) {
        if (!path.empty() && std::find(wanted.begin(), wanted.end(), path) == wanted.end() &&
            static_cast<int>(wanted.size()) < kMaxHeld) {
            wanted.push_back(path);
        }
    }
    std::vector<std::shared_ptr<Entry>> added;
    {
        const std::lock_guard lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (std::find(wanted.begin(), wanted.end(), (*it)->path) == wanted.end()) {
                dropLocked(it);
                it = m_entries.begin(); // dropLocked erased: start over (two entries at most)
            } else {
                ++it;
            }
        }
        for (const std::string& path : wanted) {
            const bool known =
                std::any_of(m_entries.begin(), m_entries.end(),
                            [&path](const auto& entry) { return entry->path == path; });
            if (!known) {
                auto entry = std::make_shared<Entry>();
                entry->path = path;
                m_entries.push_back(entry);
                added.push_back(std::move(entry));
            }
        }
    }
    for (const std::shared_ptr<Entry>& entry : added) {
        m_worker->post([this, entry] { decode(entry); });
    }
}

void PhotoPrefetch::decode(const std::shared_ptr<Entry>& entry) {
    std::string path;
    {
        const std::lock_guard lock(m_mutex);
        if (entry->state != State::Queued) {
            return;
        }
        entry->state = State::Decoding;
        path = entry->path;
    }
    // The stamp before the read: a file changed while it is read counts as changed.
    const FileStamp stamp = stampOf(path);
    std::optional<Photo> photo = Photo::load(path);
    {
        const std::lock_guard lock(m_mutex);
        if (entry->state == State::Decoding) {
            entry->state = State::Done;
            entry->stamp = stamp;
            entry->photo = std::move(photo);
        }
    }
    m_decoded.notify_all();
    // A photo given up meanwhile goes here, on the worker.
}

void PhotoPrefetch::dropLocked(std::vector<std::shared_ptr<Entry>>::iterator it) {
    (*it)->state = State::Dropped;
    (*it)->photo.reset();
    m_entries.erase(it);
}

std::optional<Photo> PhotoPrefetch::take(const std::string& path) {
    std::unique_lock lock(m_mutex);
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&path](const auto& entry) { return entry->path == path; });
    if (it == m_entries.end()) {
        return std::nullopt;
    }
    const std::shared_ptr<Entry> entry = *it;
    m_entries.erase(it);
    if (entry->state == State::Queued) {
        // Not started: reading it here is no slower than waiting for the worker.
        entry->state = State::Dropped;
        return std::nullopt;
    }
    m_decoded.wait(lock, [&entry] { return entry->state != State::Decoding; });
    if (entry->state != State::Done) {
        return std::nullopt;
    }
    entry->state = State::Dropped;
    std::optional<Photo> photo = std::move(entry->photo);
    const FileStamp stamp = entry->stamp;
    lock.unlock();
    if (!photo || stamp.size < 0 || stampOf(path) != stamp) {
        return std::nullopt;
    }
    return photo;
}

void PhotoPrefetch::clear() {
    const std::lock_guard lock(m_mutex);
    while (!m_entries.empty()) {
        dropLocked(m_entries.begin());
    }
}

int PhotoPrefetch::heldCount() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const auto& entry) {
            return entry->state == State::Done && entry->photo.has_value();
        }));
}

bool PhotoPrefetch::waitForIdle(int msecs) {
    return m_worker->waitForIdle(msecs);
}
