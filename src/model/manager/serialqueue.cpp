#include "model/manager/serialqueue.h"

SerialQueue::SerialQueue() : m_worker([this] { run(); }) {}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

void SerialQueue::post(std::function<void()> task)
{
    {
        std::lock_guard guard(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
}

void SerialQueue::waitForDone()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
}

void SerialQueue::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_tasks.empty() || m_stopping; });
        if (m_tasks.empty())
            return;
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        lock.unlock();
        task();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
