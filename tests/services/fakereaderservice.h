#pragma once

#include <QUrl>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A loopback reader service: ClientLogin, subscription list, edit token and subscription edits, checking
// the session cookie and authorization of every request after the login. It records what it is asked,
// in order, as events ("login", "list", "token", "subscribe feed/…", "unsubscribe feed/…").
class FakeReaderService {
public:
    static constexpr const char *sid = "SID-4711";
    static constexpr const char *auth = "AUTH-0815";

    FakeReaderService();
    ~FakeReaderService();
    FakeReaderService(const FakeReaderService &) = delete;
    FakeReaderService &operator=(const FakeReaderService &) = delete;

    QUrl baseAddress() const;

    // Set before the client runs.
    void setCredentials(const std::string &account, const std::string &password);
    // Replaces the answer to every login (status 200).
    void setLoginAnswer(const std::string &answer);
    void setListBody(const std::string &body);
    void setToken(const std::string &token);
    // The edit with this number (counted from 1) is answered with an error text; 0 for none.
    void setFailingEdit(int number);

    std::vector<std::string> events() const;
    std::vector<httplib::Request> loginRequests() const;
    std::vector<httplib::Request> editRequests() const;
    httplib::Request lastListRequest() const;

private:
    bool authenticated(const httplib::Request &request) const;
    void record(const std::string &event);

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;

    mutable std::mutex m_mutex;
    std::string m_account = "reader@example.org";
    std::string m_password = "s3cret";
    std::string m_loginAnswer;
    std::string m_listBody = R"({"subscriptions":[]})";
    std::string m_token = "edit-token/1\n";
    int m_failingEdit = 0;
    int m_editCount = 0;
    std::vector<std::string> m_events;
    std::vector<httplib::Request> m_logins;
    std::vector<httplib::Request> m_edits;
    httplib::Request m_lastList;
};
