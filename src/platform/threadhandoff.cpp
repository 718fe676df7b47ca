#include "platform/threadhandoff.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

QEvent::Type handOffType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// Taken by the sender after it has written an event and by the receiver before it reads one.
std::mutex &publication()
{
    static std::mutex mutex;
    return mutex;
}

// What a waiting sender waits for: the event's end, delivered or dropped.
class Completion {
public:
    void ran() { m_ran = true; }
    void finish()
    {
        std::lock_guard guard(m_mutex);
        m_finished = true;
        m_changed.notify_all();
    }
    bool waitUntilFinished()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_finished; });
        return m_ran;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_finished = false;
    bool m_ran = false; // written by the receiver before finish()
};

class HandOffEvent : public QEvent {
public:
    HandOffEvent(std::function<void()> function, std::shared_ptr<Completion> completion)
        : QEvent(handOffType()), m_function(std::move(function)), m_completion(std::move(completion))
    {
    }
    // Qt deletes the event once delivered, or unsent when its receiver goes or events end.
    ~HandOffEvent() override
    {
        {
            std::lock_guard guard(publication());
        }
        if (m_completion)
            m_completion->finish();
    }

    void run()
    {
        m_function();
        if (m_completion)
            m_completion->ran();
    }

private:
    std::function<void()> m_function;
    std::shared_ptr<Completion> m_completion;
};

void publish(QObject *receiver, HandOffEvent *event)
{
    {
        std::lock_guard guard(publication());
    }
    QCoreApplication::postEvent(receiver, event);
}

} // namespace

ThreadHandOff::ThreadHandOff(QThread *thread)
{
    if (thread)
        moveToThread(thread);
}

void ThreadHandOff::post(std::function<void()> function)
{
    publish(this, new HandOffEvent(std::move(function), nullptr));
}

bool ThreadHandOff::runAndWait(std::function<void()> function)
{
    if (QThread::currentThread() == thread()) {
        function();
        return true;
    }
    auto completion = std::make_shared<Completion>();
    publish(this, new HandOffEvent(std::move(function), completion));
    return completion->waitUntilFinished();
}

void ThreadHandOff::runPosted()
{
    QCoreApplication::sendPostedEvents(this, handOffType());
}

bool ThreadHandOff::event(QEvent *event)
{
    {
        std::lock_guard guard(publication());
    }
    if (event->type() != handOffType())
        return QObject::event(event);
    static_cast<HandOffEvent *>(event)->run();
    return true;
}
