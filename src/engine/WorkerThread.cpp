#include "engine/WorkerThread.h"

#include <chrono>
#include <utility>

WorkerThread::WorkerThread() : m_thread([this] { run(); }) {}

WorkerThread::~WorkerThread() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void WorkerThread::post(std::function<void()> job) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

bool WorkerThread::waitForIdle(int msecs) {
    std::unique_lock lock(m_mutex);
    const auto idle = [this] { return m_jobs.empty() && !m_running; };
    if (msecs < 0) {
        m_idle.wait(lock, idle);
        return true;
    }
    return m_idle.wait_for(lock, std::chrono::milliseconds(msecs), idle);
}

void WorkerThread::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return; // stopping, and nothing left to do
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = true;
        lock.unlock();
        job();
        job = nullptr; // what the job captured goes on this thread, before it counts as done
        lock.lock();
        m_running = false;
        if (m_jobs.empty()) {
            m_idle.notify_all();
        }
    }
}
