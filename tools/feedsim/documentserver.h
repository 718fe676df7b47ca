#pragma once

#include <httplib.h>

#include <string>
#include <thread>

// A loopback server of fixed documents, for the cases that generated feeds do not cover and for
// measurements where the server must cost next to nothing.
class DocumentServer {
public:
    DocumentServer();
    ~DocumentServer();
    DocumentServer(const DocumentServer &) = delete;
    DocumentServer &operator=(const DocumentServer &) = delete;

    // Serves the document at the path from now on; returns its address. The server compresses
    // text types such as application/xml when the client accepts gzip, but not application/rss+xml.
    std::string serve(const std::string &path, const std::string &document,
                      const std::string &contentType = "application/xml");

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};
