#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Photo;
class WorkerThread;

// Writes result photos as JPEG files on a worker thread, one after another in the order
// they were queued, so that a later save of a path lands after an earlier one. The queue
// lives on the user-interface thread and announces each file there (saveFinished); the
// worker only encodes and writes its own copy of the photo.
class SaveQueue : public QObject {
    Q_OBJECT

public:
    explicit SaveQueue(QObject* parent = nullptr);
    // Writes what is still queued first: no result is lost (nor announced any more).
    ~SaveQueue() override;

    // Queues photo (a copy sharing the pixels) for writing at path with quality 0..100.
    // Returns the job's number, 1 for the first.
    uint64_t enqueue(const Photo& photo, const std::string& path, int quality);
    // Files queued or being written and not yet announced.
    [[nodiscard]] int pendingCount() const { return static_cast<int>(m_pending.size()); }
    [[nodiscard]] bool isPending(const std::string& path) const;
    // Waits up to msecs (< 0: as long as it takes) for the queued files to be written, then
    // announces the ones written. Returns whether none is left pending.
    bool finish(int msecs = -1);

signals:
    // A queued file was written (ok) or could not be.
    void saveFinished(uint64_t job, const QString& path, bool ok);

private slots:
    // Announces, in queue order, the files the worker has finished. Called by name from the
    // worker (queued): nothing of the worker's crosses but this object's address.
    void announceFinished();

private:
    struct Pending {
        uint64_t job = 0;
        std::string path;
    };
    struct Finished {
        uint64_t job = 0;
        bool ok = false;
    };

    uint64_t m_lastJob = 0;
    std::vector<Pending> m_pending; // user-interface thread only, in queue order
    std::mutex m_mutex;             // guards m_finished
    std::deque<Finished> m_finished;
    // Last: it goes first, finishing its jobs while the members above still exist.
    std::unique_ptr<WorkerThread> m_worker;
};
