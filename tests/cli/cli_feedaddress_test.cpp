#include "cli/exitcode.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "feedsimserver.h"
#include "platform/settingskeys.h"
#include "vantrelrun.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(CliFeedAddressTest, addressesThatCanNeverBeFeedsAreRefusedAndOnlyWebAddressesAreStored)
{
    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 3}};
    server.start();
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList()}});

    for (const QString &address : {u"file:///etc/passwd"_s, u"ftp://example.org/rss.xml"_s, u"/etc/passwd"_s,
                                   u"~/feeds/news.xml"_s, u"./news.xml"_s}) {
        const VantrelRun::Result refused = VantrelRun::run({u"--add-feed"_s, address});
        EXPECT_EQ(refused.exitCode, ExitCode::failure) << address.toStdString();
        EXPECT_TRUE(refused.err.startsWith(u"\"%1\" is "_s.arg(address))) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains(u"only http, https and feed addresses can be subscribed to"_s))
            << refused.err.toStdString();
        EXPECT_TRUE(refused.out.isEmpty()) << refused.out.toStdString();
    }
    EXPECT_TRUE(VantrelRun::run({u"--list-feeds"_s}).outLines().isEmpty());

    // Without a scheme, with a port: fetched over http, stored as typed.
    const QString typed = QString::fromStdString(server.baseUrl()).mid(7) + u"/rss/news.xml"_s;
    const VantrelRun::Result added = VantrelRun::run({u"--add-feed"_s, typed});
    EXPECT_EQ(added.exitCode, ExitCode::success) << added.err.toStdString();
    const QStringList listed = VantrelRun::run({u"--list-feeds"_s}).outLines();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].split(u'\t').value(4), typed);
    EXPECT_EQ(listed[0].split(u'\t').value(2), u"3"_s);
    server.stop();
}
