#include "services/operationqueue.h"

#include "platform/mainthread.h"
#include "services/operation.h"

#include <QCoreApplication>
#include <QDebug>
#include <exception>

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

OperationQueue::OperationQueue()
{
    m_pool.setObjectName(QStringLiteral("OperationQueue"));
}

OperationQueue::~OperationQueue()
{
    waitUntilAllOperationsAreFinished();
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    if (!operation)
        return;
    ++m_count;
    m_pool.start([this, operation = std::move(operation)]() mutable {
        runGuarded(*operation);
        operation.reset();
        --m_count;
    });
}

int OperationQueue::maxConcurrentOperationCount() const
{
    return m_pool.maxThreadCount();
}

void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    m_pool.setMaxThreadCount(count);
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    if (!MainThread::isCurrent() || !QCoreApplication::instance()) {
        m_pool.waitForDone();
        return;
    }
    while (!m_pool.waitForDone(5))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
