#pragma once

#include <QString>
#include <QUrl>
#include <httplib.h>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A loopback read-later service that checks every request's OAuth 1.0 HMAC-SHA1 signature by its own
// reckoning (RFC 5849: parameters from the Authorization header and the form body, each name and value
// percent-encoded, sorted, joined, then the method, the address and the parameters encoded once more).
// A bad signature, unknown credentials or an unknown token gets 401.
class FakeReadLaterService {
public:
    static constexpr const char *consumerKey = "vantrel-key";
    static constexpr const char *consumerSecret = "consumer&secret";
    static constexpr const char *token = "access/token+1";
    static constexpr const char *tokenSecret = "token secret&=%";

    FakeReadLaterService();
    ~FakeReadLaterService();
    FakeReadLaterService(const FakeReadLaterService &) = delete;
    FakeReadLaterService &operator=(const FakeReadLaterService &) = delete;

    QUrl baseAddress() const;
    void setCredentials(const std::string &username, const std::string &password);
    // Every bookmark request is answered with this status.
    void setBookmarkStatus(int status);

    std::vector<std::string> bookmarks() const;
    std::vector<httplib::Request> requests() const;
    // Why the last request was refused; empty when it was accepted.
    std::string lastRefusal() const;

private:
    // The request's parameters when its signature is right for the token secret; empty otherwise.
    std::map<std::string, std::string> verifiedParameters(const httplib::Request &request,
                                                          const std::string &tokenSecret);
    void refuse(httplib::Response &response, const std::string &why);

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;

    mutable std::mutex m_mutex;
    std::string m_username = "reader";
    std::string m_password = "secret";
    int m_bookmarkStatus = 202;
    std::vector<std::string> m_bookmarks;
    std::vector<httplib::Request> m_requests;
    std::string m_lastRefusal;
};
