#include "fakereadlaterservice.h"

#include "support/http/httpconnectionpool.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
// RFC 3986 unreserved characters stay, every other byte is %XX.
std::string percentEncode(const std::string &text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string percentDecode(const std::string &text)
{
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
}

// name="value" pairs of an "OAuth …" header (cpp-httplib has percent-decoded header values already).
std::map<std::string, std::string> headerParameters(const std::string &header)
{
    std::map<std::string, std::string> parameters;
    if (header.rfind("OAuth ", 0) != 0)
        return parameters;
    static const QRegularExpression pair(u"([a-z_]+)=\"([^\"]*)\""_s);
    const QString text = QString::fromStdString(header.substr(6));
    for (auto match = pair.globalMatch(text); match.hasNext();) {
        const auto found = match.next();
        parameters[found.captured(1).toStdString()] = found.captured(2).toStdString();
    }
    return parameters;
}
} // namespace

FakeReadLaterService::FakeReadLaterService()
{
    m_server.Post("/api/rest/v1/oauth/access_token/", [this](const httplib::Request &request,
                                                             httplib::Response &response) {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        auto parameters = verifiedParameters(request, "");
        if (parameters.empty())
            return refuse(response, "bad signature");
        if (parameters.count("oauth_token"))
            return refuse(response, "token in an access-token request");
        if (parameters["x_auth_mode"] != "client_auth" || parameters["x_auth_username"] != m_username ||
            parameters["x_auth_password"] != m_password)
            return refuse(response, "unknown user");
        response.set_content("oauth_token_secret=" + percentEncode(tokenSecret) +
                                 "&oauth_token=" + percentEncode(token) + "&oauth_callback_confirmed=true",
                             "application/x-www-form-urlencoded");
    });
    m_server.Post("/api/rest/v1/bookmarks",
                  [this](const httplib::Request &request, httplib::Response &response) {
                      std::lock_guard lock(m_mutex);
                      m_requests.push_back(request);
                      auto parameters = verifiedParameters(request, tokenSecret);
                      if (parameters.empty())
                          return refuse(response, "bad signature");
                      if (parameters["oauth_token"] != token)
                          return refuse(response, "unknown token");
                      m_bookmarks.push_back(parameters["url"]);
                      response.status = m_bookmarkStatus;
                  });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::yield();
}

FakeReadLaterService::~FakeReadLaterService()
{
    HTTPConnectionPool::sharedPool().closeIdleConnections();
    m_server.stop();
    m_thread.join();
}

QUrl FakeReadLaterService::baseAddress() const
{
    return QUrl(u"http://127.0.0.1:%1"_s.arg(m_port));
}

void FakeReadLaterService::setCredentials(const std::string &username, const std::string &password)
{
    std::lock_guard lock(m_mutex);
    m_username = username;
    m_password = password;
}

void FakeReadLaterService::setBookmarkStatus(int status)
{
    std::lock_guard lock(m_mutex);
    m_bookmarkStatus = status;
}

std::vector<std::string> FakeReadLaterService::bookmarks() const
{
    std::lock_guard lock(m_mutex);
    return m_bookmarks;
}

std::vector<httplib::Request> FakeReadLaterService::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string FakeReadLaterService::lastRefusal() const
{
    std::lock_guard lock(m_mutex);
    return m_lastRefusal;
}

void FakeReadLaterService::refuse(httplib::Response &response, const std::string &why)
{
    m_lastRefusal = why;
    response.status = 401;
    response.set_content(why, "text/plain");
}

std::map<std::string, std::string> FakeReadLaterService::verifiedParameters(const httplib::Request &request,
                                                                            const std::string &secret)
{
    m_lastRefusal.clear();
    std::map<std::string, std::string> parameters =
        headerParameters(request.get_header_value("Authorization"));
    const std::string signature = parameters["oauth_signature"];
    parameters.erase("oauth_signature");
    if (parameters["oauth_consumer_key"] != consumerKey ||
        parameters["oauth_signature_method"] != "HMAC-SHA1" || parameters["oauth_version"] != "1.0" ||
        parameters["oauth_nonce"].empty() || parameters["oauth_timestamp"].empty())
        return {};
    // The form body, which is sent without a Content-Type, read by hand.
    std::string body = request.body;
    for (size_t startOfPair = 0; startOfPair <= body.size();) {
        size_t end = body.find('&', startOfPair);
        if (end == std::string::npos)
            end = body.size();
        const std::string piece = body.substr(startOfPair, end - startOfPair);
        const size_t equals = piece.find('=');
        if (equals != std::string::npos)
            parameters[percentDecode(piece.substr(0, equals))] = percentDecode(piece.substr(equals + 1));
        startOfPair = end + 1;
    }
    std::vector<std::string> encodedPairs;
    for (const auto &[name, value] : parameters)
        encodedPairs.push_back(percentEncode(name) + "=" + percentEncode(value));
    std::sort(encodedPairs.begin(), encodedPairs.end());
    std::string normalized;
    for (const std::string &pair : encodedPairs)
        normalized += (normalized.empty() ? "" : "&") + pair;
    const std::string address = "http://127.0.0.1:" + std::to_string(m_port) + request.path;
    const std::string baseString = "POST&" + percentEncode(address) + "&" + percentEncode(normalized);
    const std::string key = percentEncode(consumerSecret) + "&" + percentEncode(secret);
    const QByteArray expected =
        QMessageAuthenticationCode::hash(QByteArray::fromStdString(baseString),
                                         QByteArray::fromStdString(key), QCryptographicHash::Sha1)
            .toBase64();
    if (expected.toStdString() != signature)
        return {};
    return parameters;
}
