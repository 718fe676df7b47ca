#include "services/operations/operationqueue.h"

#include "platform/mainthread.h"
#include "services/operations/operation.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

namespace {
void runGuarded(Operation &operation)
{
    try {
        operation.main();
    } catch (const std::exception &exception) {
        qWarning() << "Operation ended by an exception:" << exception.what();
    } catch (...) {
        qWarning() << "Operation ended by an exception of unknown type";
    }
}
} // namespace

OperationQueue::OperationQueue() : m_maxConcurrent(std::max(1, QThread::idealThreadCount())) {}

OperationQueue::~OperationQueue()
{
    waitUntilAllOperationsAreFinished();
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    if (!operation)
        return;
    std::lock_guard lock(m_lock);
    m_pending.push_back(std::move(operation));
    ++m_operationCount;
    startWorkersLocked();
}

void OperationQueue::startWorkersLocked()
{
    while (m_workerCount < m_maxConcurrent && m_workerCount < m_operationCount) {
        ++m_workerCount;
        // Detached: a worker touches the queue only under m_lock, and the queue outlives its workers
        // because destruction waits until the last one has left.
        std::thread([this] { work(); }).detach();
    }
}

void OperationQueue::work()
{
    auto operation = takeNext(false);
    while (operation) {
        runGuarded(*operation);
        operation.reset();
        operation = takeNext(true);
    }
}

std::shared_ptr<Operation> OperationQueue::takeNext(bool finishedOne)
{
    std::lock_guard lock(m_lock);
    if (finishedOne)
        --m_operationCount;
    if (m_pending.empty() || m_workerCount > m_maxConcurrent) {
        --m_workerCount;
        if (isIdleLocked())
            m_idle.notify_all();
        return nullptr;
    }
    auto operation = std::move(m_pending.front());
    m_pending.pop_front();
    return operation;
}

int OperationQueue::operationCount() const
{
    std::lock_guard lock(m_lock);
    return m_operationCount;
}

int OperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(m_lock);
    return m_maxConcurrent;
}

void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    std::lock_guard lock(m_lock);
    m_maxConcurrent = std::max(1, count);
    startWorkersLocked();
}

bool OperationQueue::waitUntilIdle(int timeoutMs)
{
    std::unique_lock lock(m_lock);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return isIdleLocked(); });
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    if (!MainThread::isCurrent() || !QCoreApplication::instance()) {
        std::unique_lock lock(m_lock);
        m_idle.wait(lock, [this] { return isIdleLocked(); });
        return;
    }
    while (!waitUntilIdle(5))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
