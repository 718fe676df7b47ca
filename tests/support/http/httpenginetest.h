#pragma once

#include "support/http/httpconnectionpool.h"
#include "support/http/httpcookiestorage.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <map>

// Sets environment variables for its lifetime and restores the previous values afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment()
    {
        for (const auto &[name, saved] : m_saved) {
            if (saved.first)
                qputenv(name.constData(), saved.second);
            else
                qunsetenv(name.constData());
        }
    }

    void set(const char *name, const QByteArray &value)
    {
        save(name);
        qputenv(name, value);
    }
    void unset(const char *name)
    {
        save(name);
        qunsetenv(name);
    }

private:
    void save(const char *name)
    {
        m_saved.try_emplace(QByteArray(name), qEnvironmentVariableIsSet(name), qgetenv(name));
    }

    std::map<QByteArray, std::pair<bool, QByteArray>> m_saved;
};

// Every test starts without kept-alive connections, stored cookies or proxy settings: all are process-wide.
class HTTPEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HTTPConnectionPool::sharedPool().closeIdleConnections();
        HTTPCookieStorage::sharedStorage().deleteAllCookies();
        for (const char *name :
             {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"})
            environment.unset(name);
    }

    ScopedEnvironment environment;
};
