#pragma once

#include <QThreadPool>
#include <atomic>
#include <memory>

class Operation;

// Runs operations on worker threads of its own, several at once. The queue keeps each operation alive
// until its main() has returned and drops its reference on the worker thread: whoever queues an operation
// that holds objects of the main thread keeps a reference of its own. An exception escaping main() is
// logged and stops nothing else.
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
    int operationCount() const { return m_count.load(); }
    int maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(int count);
    void waitUntilAllOperationsAreFinished();

private:
    QThreadPool m_pool;
    std::atomic<int> m_count = 0;
};
