#pragma once

#include "support/http/httpconnectionpool.h"
#include "support/http/httpcookiestorage.h"

#include <gtest/gtest.h>

// Every test starts without kept-alive connections or stored cookies: both are process-wide.
class HTTPEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HTTPConnectionPool::sharedPool().closeIdleConnections();
        HTTPCookieStorage::sharedStorage().deleteAllCookies();
    }
};
