#include "documentserver.h"

#include <chrono>

DocumentServer::DocumentServer()
{
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DocumentServer::~DocumentServer()
{
    m_server.stop();
    m_thread.join();
}

std::string DocumentServer::serve(const std::string &path, const std::string &document,
                                  const std::string &contentType)
{
    m_server.Get(path, [document, contentType](const httplib::Request &, httplib::Response &response) {
        response.set_content(document, contentType);
    });
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}
