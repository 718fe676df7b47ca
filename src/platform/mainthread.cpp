#include "platform/mainthread.h"

#include <QCoreApplication>
#include <QThread>

bool MainThread::isCurrent()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

void MainThread::runAndWait(const std::function<void()> &function)
{
    if (isCurrent())
        function();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), function, Qt::BlockingQueuedConnection);
}

void MainThread::post(std::function<void()> function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

void MainThread::runPosted()
{
    if (QCoreApplication *application = QCoreApplication::instance(); application && isCurrent())
        QCoreApplication::sendPostedEvents(application, QEvent::MetaCall);
}
