#include "httpconnection.h"

#include <mutex>

namespace {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

std::unique_ptr<HTTPConnection> HTTPConnection::create(const QString &key)
{
    initialiseCurlOnce();
    CURL *easy = curl_easy_init();
    CURLM *multi = curl_multi_init();
    if (!easy || !multi) {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        return nullptr;
    }
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, 1L);
    return std::unique_ptr<HTTPConnection>(new HTTPConnection(easy, multi, key));
}

HTTPConnection::HTTPConnection(CURL *easy, CURLM *multi, const QString &key)
    : m_easy(easy), m_multi(multi), m_key(key)
{
}

HTTPConnection::~HTTPConnection()
{
    // Closing the multi handle closes the connection it cached.
    curl_multi_cleanup(m_multi);
    curl_easy_cleanup(m_easy);
}
