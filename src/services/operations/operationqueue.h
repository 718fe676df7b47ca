#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class Operation;

// Runs operations on worker threads of its own, several at once, in the order they were queued. The
// queue keeps each operation alive until its main() has returned and drops its reference on the worker
// thread: whoever queues an operation that holds objects of the main thread keeps a reference of its
// own. An exception escaping main() is logged and stops nothing else.
//
// Workers are plain threads started when work arrives and ended when none is left; every hand-over
// between them and the queue goes through m_lock, so thread checkers see all of it.
//
// Operations may wait for the main thread (callbacks); waiting for the queue on the main thread therefore
// keeps delivering the main thread's events, and so does destroying the queue there.
class OperationQueue {
public:
    OperationQueue();
    ~OperationQueue();
    OperationQueue(const OperationQueue &) = delete;
    OperationQueue &operator=(const OperationQueue &) = delete;

    void addOperation(std::shared_ptr<Operation> operation);
    // Queued and running operations.
    int operationCount() const;
    int maxConcurrentOperationCount() const;
    // At least one.
    void setMaxConcurrentOperationCount(int count);
    void waitUntilAllOperationsAreFinished();

private:
    void startWorkersLocked();
    void work();
    // The next queued operation, or nullptr when the worker should end (it is then no longer counted).
    std::shared_ptr<Operation> takeNext(bool finishedOne);
    bool isIdleLocked() const { return m_operationCount == 0 && m_workerCount == 0; }
    bool waitUntilIdle(int timeoutMs);

    mutable std::mutex m_lock;
    std::condition_variable m_idle;
    std::deque<std::shared_ptr<Operation>> m_pending;
    int m_operationCount = 0; // queued plus running
    int m_workerCount = 0;
    int m_maxConcurrent;
};
