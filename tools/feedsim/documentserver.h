#pragma once

#include <httplib.h>

#include <map>
#include <mutex>
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
    struct Document {
        std::string body;
        std::string contentType;
    };
    void answer(const httplib::Request &request, httplib::Response &response);

    // The server's threads read the documents while the owner adds to them: the list is guarded
    // here, since the server's own route table may not change once it listens.
    std::mutex m_lock;
    std::map<std::string, Document> m_documents;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};
