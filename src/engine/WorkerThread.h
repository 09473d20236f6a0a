#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One thread that runs jobs one after another, in the order they were posted. Jobs touch
// no widget and no QObject of the posting thread; what they make is handed back through
// data guarded by the poster's own std::mutex. The thread is a std::thread and the queue
// is guarded by a std::mutex, so that ThreadSanitizer sees every hand-over, the join
// included (QThread::wait and Qt's own locks are invisible to it in a Qt built without it).
class WorkerThread {
public:
    WorkerThread();
    // Runs every job still queued, then ends the thread.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void post(std::function<void()> job);
    // Waits until no job is queued or running; msecs < 0 waits as long as it takes.
    // Returns whether the thread is idle.
    bool waitForIdle(int msecs = -1);

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_running = false; // a job is under way
    bool m_stopping = false;
    std::thread m_thread; // last: started once the members above exist
};
