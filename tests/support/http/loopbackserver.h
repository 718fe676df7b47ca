#pragma once

#include <QUrl>
#include <httplib.h>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

// A cpp-httplib server on 127.0.0.1 running on its own thread. Register handlers on server() before
// start(); every request is recorded, and the client ports seen tell how many connections were used.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    httplib::Server &server() { return m_server; }
    void start();
    int port() const { return m_port; }
    QUrl url(const QString &path) const;

    std::vector<httplib::Request> requests() const;
    httplib::Request lastRequest() const;
    int requestCount() const;
    int connectionCount() const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<httplib::Request> m_requests;
    std::set<int> m_clientPorts;
};
