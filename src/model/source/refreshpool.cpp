#include "model/source/refreshpool.h"

#include "platform/mainthread.h"

#include <QtGlobal>

#include <algorithm>
#include <system_error>

struct RefreshPool::Worker {
    std::function<void(const Release &)> refresh; // the one to run next; empty while idle
    bool busy = false;                            // from the start of a refresh until it returns
    std::condition_variable wake;
    std::thread thread;
};

struct RefreshPool::HandOff {
    const std::function<void()> &function;
    bool done = false;
};

RefreshPool::RefreshPool() = default;

RefreshPool::~RefreshPool()
{
    close();
}

bool RefreshPool::tryStart(int capacity, std::function<void(const Release &)> refresh)
{
    std::lock_guard guard(m_mutex);
    if (m_closing || m_running >= capacity)
        return false;
    ++m_running;
    const auto idle =
        std::find_if(m_workers.begin(), m_workers.end(), [](const auto &worker) { return !worker->busy; });
    Worker &worker = idle != m_workers.end() ? **idle : *m_workers.emplace_back(std::make_unique<Worker>());
    worker.busy = true;
    worker.refresh = std::move(refresh);
    if (worker.thread.joinable()) {
        worker.wake.notify_one();
        return true;
    }
    try {
        worker.thread = std::thread([this, &worker] { work(worker); });
    } catch (const std::system_error &error) {
        // As if the capacity were used up: the next round tries again.
        qWarning("Cannot start a refresh thread: %s", error.what());
        --m_running;
        m_workers.pop_back();
        return false;
    }
    return true;
}

int RefreshPool::runningRefreshes() const
{
    std::lock_guard guard(m_mutex);
    return m_running;
}

void RefreshPool::work(Worker &worker)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        worker.wake.wait(lock, [&] { return worker.refresh || m_closing; });
        if (!worker.refresh)
            return;
        std::function<void(const Release &)> refresh = std::move(worker.refresh);
        worker.refresh = nullptr;
        lock.unlock();
        bool released = false;
        const Release release = [this, &released] {
            if (std::exchange(released, true))
                return;
            std::lock_guard guard(m_mutex);
            --m_running;
            m_changed.notify_all();
        };
        refresh(release);
        release();
        refresh = nullptr; // what the refresh holds goes before its thread counts as free
        lock.lock();
        worker.busy = false;
    }
}

void RefreshPool::runOnMainThread(const std::function<void()> &function)
{
    if (MainThread::isCurrent()) {
        function();
        return;
    }
    HandOff handOff{function};
    std::unique_lock lock(m_mutex);
    m_handOffs.push_back(&handOff);
    m_changed.notify_all();
    lock.unlock();
    m_mainThread.post([this] {
        std::unique_lock mainLock(m_mutex);
        runHandOffs(mainLock);
    });
    lock.lock();
    m_changed.wait(lock, [&handOff] { return handOff.done; });
}

// On the main thread, with `lock` held; the functions run without it.
void RefreshPool::runHandOffs(std::unique_lock<std::mutex> &lock)
{
    while (!m_handOffs.empty()) {
        HandOff *handOff = m_handOffs.front();
        m_handOffs.pop_front();
        lock.unlock();
        // The waiting refresh goes on even if the function throws.
        struct MarkDone {
            RefreshPool &pool;
            std::unique_lock<std::mutex> &lock;
            HandOff &handOff;
            ~MarkDone()
            {
                lock.lock();
                handOff.done = true;
                pool.m_changed.notify_all();
            }
        } markDone{*this, lock, *handOff};
        handOff->function();
    }
}

void RefreshPool::close()
{
    {
        std::lock_guard guard(m_mutex);
        if (m_closing)
            return;
        m_closing = true;
    }
    m_stop.request_stop();
    // Ending refreshes hand their results to the main thread, which is this one: it serves them
    // while it waits, instead of waiting for them to be served.
    const bool onMainThread = MainThread::isCurrent();
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (onMainThread)
            runHandOffs(lock);
        if (m_running == 0)
            break;
        m_changed.wait(
            lock, [this, onMainThread] { return m_running == 0 || (onMainThread && !m_handOffs.empty()); });
    }
    for (const auto &worker : m_workers)
        worker->wake.notify_one();
    lock.unlock();
    for (const auto &worker : m_workers)
        worker->thread.join();
}
