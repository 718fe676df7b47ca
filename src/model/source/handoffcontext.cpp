#include "model/source/handoffcontext.h"

HandOffContext::HandOffContext(std::function<void()> serve) : m_serve(std::move(serve)) {}

void HandOffContext::post()
{
    QMetaObject::invokeMethod(this, "serve", Qt::QueuedConnection);
}

void HandOffContext::serve()
{
    m_serve();
}
