#include "common/temphome.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ReachabilityTest, loopbackHasARouteAndNoHostHasNone)
{
    EXPECT_TRUE(Reachability::hasRouteToHost(u"127.0.0.1"_s));
    EXPECT_TRUE(Reachability::hasRouteToHost(u" localhost "_s));
    EXPECT_FALSE(Reachability::hasRouteToHost(QString()));
    EXPECT_FALSE(Reachability::hasRouteToHost(u"   "_s));
}

TEST(ReachabilityTest, probesTheHostOfTheSetting)
{
    TempHome home;
    UserDefaults defaults(home.configHome() + u"/vantrel"_s);
    const Reachability reachability(defaults);
    EXPECT_FALSE(reachability.isReachable());

    defaults.setObject(u"127.0.0.1"_s, SettingsKey::reachabilityHost);
    EXPECT_TRUE(reachability.isReachable());
}
