#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One worker thread that runs the tasks posted to it one at a time, in the order they were
// posted. Destruction runs the tasks already posted, then ends the thread.
class SerialQueue {
public:
    SerialQueue();
    ~SerialQueue();
    SerialQueue(const SerialQueue &) = delete;
    SerialQueue &operator=(const SerialQueue &) = delete;

    // Any thread may post; the task runs on the worker.
    void post(std::function<void()> task);
    // Returns once every task posted so far has run. Not to be called from a task.
    void waitForDone();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_worker; // last: starts once the members above exist
};
