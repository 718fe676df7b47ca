#pragma once

#include <QByteArray>
#include <QUrl>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ScriptedServer;

// One accepted connection of a ScriptedServer, handed to its script. The socket closes when the script
// returns.
class ScriptedConnection {
public:
    ScriptedConnection(ScriptedServer &server, int socket, int index);

    // 0 for the first connection the server accepted.
    int index() const { return m_index; }
    // The next request's bytes (head and Content-Length body); nullopt once the client has closed.
    std::optional<QByteArray> readRequest();
    void send(const QByteArray &bytes);
    // Keeps the connection open and silent until the server is destroyed.
    void hangUntilStopped();

private:
    ScriptedServer &m_server;
    int m_socket;
    int m_index;
    QByteArray m_buffer;
};

// A raw TCP server on 127.0.0.1 for what a real server does not do on purpose: answer never, close a
// kept-alive connection silently, speak HTTP/1.0 or send chosen Keep-Alive headers.
class ScriptedServer {
public:
    using Script = std::function<void(ScriptedConnection &)>;

    explicit ScriptedServer(Script script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    int port() const { return m_port; }
    QUrl url(const QString &path) const;
    int connectionCount() const { return m_connections.load(); }

    // A complete response with a Content-Length.
    static QByteArray response(const QByteArray &statusLine, const QByteArray &headers,
                               const QByteArray &body);

private:
    friend class ScriptedConnection;
    void acceptLoop();
    bool stopping() const { return m_stopping.load(); }

    Script m_script;
    int m_listenSocket = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::thread m_acceptThread;
    std::vector<std::thread> m_connectionThreads;
};
