#include "fakereaderservice.h"

#include "support/http/httpconnectionpool.h"

using namespace Qt::StringLiterals;

FakeReaderService::FakeReaderService()
{
    m_server.Post("/accounts/ClientLogin", [this](const httplib::Request &request,
                                                  httplib::Response &response) {
        std::lock_guard lock(m_mutex);
        m_events.push_back("login");
        m_logins.push_back(request);
        if (!m_loginAnswer.empty()) {
            response.set_content(m_loginAnswer, "text/plain");
            return;
        }
        if (request.get_param_value("Email") != m_account ||
            request.get_param_value("Passwd") != m_password) {
            response.status = 403;
            response.set_content("Error=BadAuthentication\n", "text/plain");
            return;
        }
        response.set_content(std::string("SID=") + sid + "\nLSID=other\nAuth=" + auth + "\n", "text/plain");
    });
    m_server.Get("/reader/api/0/subscription/list",
                 [this](const httplib::Request &request, httplib::Response &response) {
                     record("list");
                     std::lock_guard lock(m_mutex);
                     m_lastList = request;
                     if (!authenticated(request)) {
                         response.status = 401;
                         return;
                     }
                     response.set_content(m_listBody, "application/json");
                 });
    m_server.Get("/reader/api/0/token", [this](const httplib::Request &request, httplib::Response &response) {
        record("token");
        std::lock_guard lock(m_mutex);
        if (!authenticated(request)) {
            response.status = 401;
            return;
        }
        response.set_content(m_token, "text/plain");
    });
    m_server.Post("/reader/api/0/subscription/edit",
                  [this](const httplib::Request &request, httplib::Response &response) {
                      record(request.get_param_value("ac") + " " + request.get_param_value("s"));
                      std::lock_guard lock(m_mutex);
                      m_edits.push_back(request);
                      ++m_editCount;
                      if (!authenticated(request) || request.get_param_value("T") != m_token ||
                          request.get_param_value("client") != "vantrel") {
                          response.status = 401;
                          return;
                      }
                      response.set_content(m_editCount == m_failingEdit ? "Error\n" : "OK\n", "text/plain");
                  });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::yield();
}

FakeReaderService::~FakeReaderService()
{
    HTTPConnectionPool::sharedPool().closeIdleConnections();
    m_server.stop();
    m_thread.join();
}

QUrl FakeReaderService::baseAddress() const
{
    return QUrl(u"http://127.0.0.1:%1/"_s.arg(m_port));
}

void FakeReaderService::setCredentials(const std::string &account, const std::string &password)
{
    std::lock_guard lock(m_mutex);
    m_account = account;
    m_password = password;
}

void FakeReaderService::setLoginAnswer(const std::string &answer)
{
    std::lock_guard lock(m_mutex);
    m_loginAnswer = answer;
}

void FakeReaderService::setListBody(const std::string &body)
{
    std::lock_guard lock(m_mutex);
    m_listBody = body;
}

void FakeReaderService::setToken(const std::string &token)
{
    std::lock_guard lock(m_mutex);
    m_token = token;
}

void FakeReaderService::setFailingEdit(int number)
{
    std::lock_guard lock(m_mutex);
    m_failingEdit = number;
}

std::vector<std::string> FakeReaderService::events() const
{
    std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<httplib::Request> FakeReaderService::loginRequests() const
{
    std::lock_guard lock(m_mutex);
    return m_logins;
}

std::vector<httplib::Request> FakeReaderService::editRequests() const
{
    std::lock_guard lock(m_mutex);
    return m_edits;
}

httplib::Request FakeReaderService::lastListRequest() const
{
    std::lock_guard lock(m_mutex);
    return m_lastList;
}

bool FakeReaderService::authenticated(const httplib::Request &request) const
{
    return request.get_header_value("Authorization") == std::string("GoogleLogin auth=") + auth &&
           request.get_header_value("Cookie").find(std::string("SID=") + sid) != std::string::npos &&
           request.get_header_value("User-Agent").rfind("Mozilla/5.0 (Macintosh;", 0) == 0;
}

void FakeReaderService::record(const std::string &event)
{
    std::lock_guard lock(m_mutex);
    m_events.push_back(event);
}
