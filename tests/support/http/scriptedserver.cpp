#include "scriptedserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int pollIntervalMs = 20;

// Waits until the socket is readable or the server stops; false when it stops.
template <typename Stopping> bool waitReadable(int socket, Stopping stopping)
{
    while (!stopping()) {
        pollfd descriptor{socket, POLLIN, 0};
        if (poll(&descriptor, 1, pollIntervalMs) > 0)
            return true;
    }
    return false;
}

qsizetype contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:"))
            return line.mid(15).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

ScriptedConnection::ScriptedConnection(ScriptedServer &server, int socket, int index)
    : m_server(server), m_socket(socket), m_index(index)
{
}

std::optional<QByteArray> ScriptedConnection::readRequest()
{
    for (;;) {
        const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
        if (headEnd >= 0) {
            const qsizetype total = headEnd + 4 + contentLength(m_buffer.left(headEnd));
            if (m_buffer.size() >= total) {
                QByteArray request = m_buffer.left(total);
                m_buffer.remove(0, total);
                return request;
            }
        }
        if (!waitReadable(m_socket, [this] { return m_server.stopping(); }))
            return std::nullopt;
        char chunk[4096];
        const ssize_t received = recv(m_socket, chunk, sizeof chunk, 0);
        if (received <= 0)
            return std::nullopt;
        m_buffer.append(chunk, received);
    }
}

void ScriptedConnection::send(const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(m_socket, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

void ScriptedConnection::hangUntilStopped()
{
    std::unique_lock lock(m_server.m_mutex);
    m_server.m_stopped.wait(lock, [this] { return m_server.stopping(); });
}

ScriptedServer::ScriptedServer(Script script) : m_script(std::move(script))
{
    m_listenSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(m_listenSocket, reinterpret_cast<sockaddr *>(&address), length);
    listen(m_listenSocket, 16);
    getsockname(m_listenSocket, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
    m_acceptThread.join();
    for (std::thread &thread : m_connectionThreads)
        thread.join();
    close(m_listenSocket);
}

QUrl ScriptedServer::url(const QString &path) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(path));
}

QByteArray ScriptedServer::response(const QByteArray &statusLine, const QByteArray &headers,
                                    const QByteArray &body)
{
    return statusLine + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

void ScriptedServer::acceptLoop()
{
    while (waitReadable(m_listenSocket, [this] { return stopping(); })) {
        const int socket = accept(m_listenSocket, nullptr, nullptr);
        if (socket < 0)
            continue;
        const int index = m_connections++;
        m_connectionThreads.emplace_back([this, socket, index] {
            ScriptedConnection connection(*this, socket, index);
            m_script(connection);
            close(socket);
        });
    }
}
