#include "engine/SaveQueue.h"

#include <algorithm>
#include <utility>

#include "engine/Photo.h"
#include "engine/WorkerThread.h"

SaveQueue::SaveQueue(QObject* parent)
    : QObject(parent), m_worker(std::make_unique<WorkerThread>()) {}

SaveQueue::~SaveQueue() {
    m_worker->waitForIdle();
}

uint64_t SaveQueue::enqueue(const Photo& photo, const std::string& path, int quality) {
    const uint64_t job = ++m_lastJob;
    m_pending.push_back({job, path});
    m_worker->post([this, job, photo, path, quality] {
        const bool ok = photo.saveJpeg(path, quality);
        {
            const std::lock_guard lock(m_mutex);
            m_finished.push_back({job, ok});
        }
        QMetaObject::invokeMethod(this, "announceFinished", Qt::QueuedConnection);
    });
    return job;
}

bool SaveQueue::isPending(const std::string& path) const {
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [&path](const Pending& pending) { return pending.path == path; });
}

bool SaveQueue::finish(int msecs) {
    m_worker->waitForIdle(msecs);
    announceFinished();
    return m_pending.empty();
}

void SaveQueue::announceFinished() {
    // One at a time from the shared list: a handler that runs a nested event loop (a message
    // box) announces the next files from within it, still in queue order.
    for (;;) {
        Finished done;
        {
            const std::lock_guard lock(m_mutex);
            if (m_finished.empty()) {
                return;
            }
            done = m_finished.front();
            m_finished.pop_front();
        }
        const auto it = std::find_if(m_pending.begin(), m_pending.end(),
                                     [&done](const Pending& p) { return p.job == done.job; });
        if (it == m_pending.end()) {
            continue;
        }
        const QString path = QString::fromStdString(it->path);
        m_pending.erase(it);
        emit saveFinished(done.job, path, done.ok);
    }
}
