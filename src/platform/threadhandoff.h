#pragma once

#include <QObject>

#include <functional>

class QThread;

// Runs functions on the thread it lives on, handed over from any thread. Functions still on their
// way when it is destroyed, or when the thread no longer handles events (the application is
// closing), are dropped, so that it can stand for the lifetime of what they use.
//
// Each function travels in an event of our own, published through a lock of ours before it is
// posted and read only after that lock is taken: ThreadSanitizer cannot see the locks of an
// uninstrumented Qt, and would take a function written on one thread and run on another for a
// race. For the same reason the class has no Q_OBJECT, so that what Qt reads of it as it delivers
// is Qt's own.
class ThreadHandOff : public QObject {
public:
    // Lives on `thread`, or on the calling thread when it is null.
    explicit ThreadHandOff(QThread *thread = nullptr);

    // Queues the function for this object's thread.
    void post(std::function<void()> function);
    // Runs the function on this object's thread and returns when it has run: true then, false when
    // it was dropped. At once when called there. The caller must not hold a lock that the thread
    // may wait for.
    bool runAndWait(std::function<void()> function);
    // On this object's thread: runs what was posted so far, without waiting for the event loop.
    void runPosted();

protected:
    bool event(QEvent *event) override;
};
