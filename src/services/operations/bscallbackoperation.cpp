#include "services/operations/bscallbackoperation.h"

#include "platform/mainthread.h"
#include "platform/threadhandoff.h"

#include <QDebug>
#include <exception>

BSCallbackOperation::BSCallbackOperation(QObject *target, Callback callback, QThread *thread)
    : m_callbackTarget(target), m_hasTarget(target != nullptr), m_callback(std::move(callback)),
      m_callbackThread(thread)
{
}

void BSCallbackOperation::main()
{
    try {
        performOperation();
    } catch (const std::exception &exception) {
        handleException(QString::fromLocal8Bit(exception.what()));
    } catch (...) {
        handleException(QStringLiteral("exception of unknown type"));
    }
    returnSelf();
}

void BSCallbackOperation::returnSelf()
{
    if (!m_callback)
        return;
    auto call = [this] { invokeCallback(); };
    if (!m_callbackThread) {
        if (!MainThread::runAndWait(call))
            qWarning() << "Operation callback skipped: the application is closing";
        return;
    }
    if (m_callbackThread == QThread::currentThread()) {
        call();
        return;
    }
    if (!m_callbackThread->isRunning() || !ThreadHandOff(m_callbackThread).runAndWait(call))
        qWarning() << "Operation callback skipped: its thread has ended";
}

void BSCallbackOperation::invokeCallback()
{
    if (m_hasTarget && !m_callbackTarget)
        return;
    try {
        m_callback(*this);
    } catch (const std::exception &exception) {
        qWarning() << "Operation callback ended by an exception:" << exception.what();
    } catch (...) {
        qWarning() << "Operation callback ended by an exception of unknown type";
    }
}
