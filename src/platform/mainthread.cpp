#include "platform/mainthread.h"

#include "platform/threadhandoff.h"

#include <QCoreApplication>
#include <QThread>

namespace {

// Made by the first hand-off, on whichever thread; it lives on the application's thread. It stays
// for the process, since refresh threads may hand off until they have ended.
ThreadHandOff &mainHandOff()
{
    static ThreadHandOff *const handOff = [] {
        const QCoreApplication *application = QCoreApplication::instance();
        return new ThreadHandOff(application ? application->thread() : QThread::currentThread());
    }();
    return *handOff;
}

} // namespace

bool MainThread::isCurrent()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

bool MainThread::runAndWait(std::function<void()> function)
{
    if (!isCurrent())
        return mainHandOff().runAndWait(std::move(function));
    function();
    return true;
}

void MainThread::post(std::function<void()> function)
{
    mainHandOff().post(std::move(function));
}

void MainThread::runPosted()
{
    if (isCurrent())
        mainHandOff().runPosted();
}
