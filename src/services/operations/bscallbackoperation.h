#pragma once

#include "services/operations/bsoperation.h"

#include <QPointer>
#include <QThread>
#include <functional>

// An operation that runs performOperation() and then calls back with itself, on a given thread or on
// the main thread, waiting until the callback has returned. An exception from performOperation() becomes
// operationError (code 258); one from the callback is logged. No exception leaves main().
//
// The callback thread must run an event loop (the main thread's is the application's). The callback is
// skipped when the target it was given has been destroyed by then.
class BSCallbackOperation : public BSOperation {
public:
    using Callback = std::function<void(BSCallbackOperation &operation)>;

    // `target` (may be null) guards the callback's lifetime; `thread` null means the main thread.
    BSCallbackOperation(QObject *target, Callback callback, QThread *thread = nullptr);

    void main() final;
    // The work; the base class does nothing.
    virtual void performOperation() {}
    // Delivers the callback as described above.
    void returnSelf();

private:
    void invokeCallback();

    QPointer<QObject> m_callbackTarget;
    bool m_hasTarget;
    Callback m_callback;
    QPointer<QThread> m_callbackThread;
};
