#include "documentserver.h"

#include <chrono>

DocumentServer::DocumentServer()
{
    m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        answer(request, response);
    });
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
    {
        std::lock_guard guard(m_lock);
        // The first document served at a path stays, as the route first added would.
        m_documents.try_emplace(path, Document{document, contentType});
    }
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void DocumentServer::answer(const httplib::Request &request, httplib::Response &response)
{
    std::lock_guard guard(m_lock);
    const auto found = m_documents.find(request.path);
    if (found == m_documents.end()) {
        response.status = 404;
        return;
    }
    response.set_content(found->second.body, found->second.contentType);
}
