#include "loopbackserver.h"

#include "support/http/httpconnectionpool.h"

using namespace Qt::StringLiterals;

LoopbackServer::LoopbackServer()
{
    // Otherwise a kept-alive response body waits for the client's delayed ACK of its headers.
    m_server.set_tcp_nodelay(true);
    // Recorded after routing, once the body has been read.
    m_server.set_post_routing_handler([this](const httplib::Request &request, httplib::Response &) {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        m_clientPorts.insert(request.remote_port);
    });
}

LoopbackServer::~LoopbackServer()
{
    // Idle client connections would keep the server's keep-alive threads waiting.
    HTTPConnectionPool::sharedPool().closeIdleConnections();
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LoopbackServer::start()
{
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::yield();
}

QUrl LoopbackServer::url(const QString &path) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(path));
}

std::vector<httplib::Request> LoopbackServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

httplib::Request LoopbackServer::lastRequest() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? httplib::Request() : m_requests.back();
}

int LoopbackServer::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_requests.size());
}

int LoopbackServer::connectionCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_clientPorts.size());
}
