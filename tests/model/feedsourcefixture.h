#pragma once

#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/recordingdelegate.h"
#include "model/source/rssdatasource.h"
#include "model/testenvironment.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <gtest/gtest.h>
#include <vector>

// Feed sources in a temporary home, reading the loopback feed server: each source is listed in
// the settings, reports to `delegate`, and gives up on a silent server after 5 seconds.
class FeedSourceFixture : public testing::Test {
protected:
    static constexpr qint64 origin = 1780000000; // the feeds' step 0

    explicit FeedSourceFixture(int refreshRateMinutes)
        : defaults(home.configHome() + QStringLiteral("/vantrel")),
          clock(QDateTime::fromSecsSinceEpoch(origin + 3600, Qt::UTC))
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, refreshRateMinutes},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()}});
        server.start();
    }

    ~FeedSourceFixture() override
    {
        environment.pool.close();
        server.stop();
    }

    std::shared_ptr<RSSDatasource> sourceFor(const QString &url)
    {
        const QVariantMap entry{{QStringLiteral("uuid"), QStringLiteral("FEED-%1").arg(sources.size())},
                                {QStringLiteral("url"), url}};
        defaults.updateObject(SettingsKey::feeds,
                              [&](const QVariant &current) { return QVariant(current.toList() << entry); });
        auto source = RSSDatasource::create(entry, defaults, clock, environment);
        RSSDatasource::LoadOptions options;
        options.feed.idleTimeout = std::chrono::seconds(5);
        options.icon.idleTimeout = std::chrono::seconds(5);
        options.parser.elementPause = std::chrono::nanoseconds(0);
        source->setLoadOptions(options);
        source->setDelegate(&delegate);
        sources.push_back(source);
        return source;
    }

    static void waitUntilIdle(const std::shared_ptr<RSSDatasource> &source)
    {
        ASSERT_TRUE(waitFor([&] { return !source->isRunning(); }, 20000));
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    FeedSimServer server;
    RecordingDelegate delegate;
    std::vector<std::shared_ptr<RSSDatasource>> sources;
    TestEnvironment environment;
};
