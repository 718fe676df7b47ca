#pragma once

#include <QObject>

#include <functional>

// The main thread's end of a refresh pool's hand-offs: post() from any thread makes the main
// thread call the serving function. The call goes by name, so that what travels through Qt's
// event queue is Qt's own: a lambda queued from a refresh thread would be written there and read
// on the main thread across the queue's locks, which ThreadSanitizer cannot see in an
// uninstrumented Qt.
class HandOffContext : public QObject {
    Q_OBJECT
public:
    explicit HandOffContext(std::function<void()> serve);

    void post();

private:
    Q_INVOKABLE void serve();

    const std::function<void()> m_serve;
};
