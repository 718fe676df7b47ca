#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/source/rssdatasource.h"
#include "model/testenvironment.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Misbehaviour {
    const char *path;
    bool fails;
};

void PrintTo(const Misbehaviour &misbehaviour, std::ostream *out)
{
    *out << misbehaviour.path;
}

} // namespace

// A source whose server misbehaves keeps what it had, says what went wrong, and does not stop
// the other sources.
class RSSMisbehaviourTest : public testing::TestWithParam<Misbehaviour> {
protected:
    RSSMisbehaviourTest() : defaults(home.configHome() + u"/vantrel"_s)
    {
        defaults.registerDefaults(
            {{SettingsKey::ageLimit, 7}, {SettingsKey::limit, 500}, {SettingsKey::refreshRate, 2}});
        clock.setNow(QDateTime::currentDateTimeUtc());
        environment.sources = 2;
        server.start();
    }
    ~RSSMisbehaviourTest() override
    {
        environment.pool.close();
        server.stop();
    }

    std::shared_ptr<RSSDatasource> sourceFor(const QString &path, const QString &uuid)
    {
        const QVariantMap entry{{u"uuid"_s, uuid},
                                {u"url"_s, QString(QString::fromStdString(server.baseUrl()) + path)}};
        defaults.updateObject(SettingsKey::feeds,
                              [&](const QVariant &current) { return QVariant(current.toList() << entry); });
        auto source = RSSDatasource::create(entry, defaults, clock, environment);
        RSSDatasource::LoadOptions options;
        options.feed.idleTimeout = std::chrono::milliseconds(800);
        options.feed.deadline = std::chrono::milliseconds(1500);
        options.feed.maxBytes = 4 * 1024 * 1024;
        options.icon.idleTimeout = std::chrono::milliseconds(800);
        options.parser.elementPause = std::chrono::nanoseconds(0);
        source->setLoadOptions(options);
        return source;
    }

    void refresh(const std::shared_ptr<RSSDatasource> &source)
    {
        clock.advance(10 * 60 * 1000);
        ASSERT_TRUE(source->updateData());
        ASSERT_TRUE(waitFor([&] { return !source->isRunning(); }, 20000));
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    FeedSimServer server;
    TestEnvironment environment;
};

TEST_P(RSSMisbehaviourTest, leavesStoredItemsAndOtherSourcesAlone)
{
    auto victim = sourceFor(u"/rss/victim.xml?entries=3"_s, u"VICTIM"_s);
    auto bystander = sourceFor(u"/rss/bystander.xml?entries=2"_s, u"BYSTANDER"_s);
    refresh(victim);
    const QList<DataItemPtr> stored = victim->items();
    ASSERT_EQ(stored.size(), 3);

    victim->setURL(QString::fromStdString(server.baseUrl()) + QString::fromLatin1(GetParam().path));
    ASSERT_TRUE(waitFor([&] { return !victim->isRunning(); }, 20000));
    refresh(victim);
    refresh(bystander);

    if (GetParam().fails) {
        EXPECT_FALSE(victim->errorString().isEmpty());
        EXPECT_EQ(victim->items(), stored);
    } else {
        EXPECT_TRUE(victim->errorString().isNull()) << victim->errorString().toStdString();
    }
    EXPECT_TRUE(bystander->errorString().isNull());
    EXPECT_EQ(bystander->items().size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Feedsim, RSSMisbehaviourTest,
    testing::Values(Misbehaviour{"/bad/slow?delay=3000", true},
                    Misbehaviour{"/bad/endless?interval=50", true}, Misbehaviour{"/bad/drip", true},
                    Misbehaviour{"/bad/redirect/3", false}, Misbehaviour{"/bad/loop/a", true},
                    Misbehaviour{"/bad/status/500?body=xml", true}, Misbehaviour{"/bad/status/404", true},
                    Misbehaviour{"/bad/gzip-bomb?size=64", true}, Misbehaviour{"/bad/huge?size=8", true},
                    Misbehaviour{"/bad/huge-title?size=3", false}, Misbehaviour{"/bad/malformed", true},
                    Misbehaviour{"/bad/latin1", false}, Misbehaviour{"/bad/cp1252", false},
                    Misbehaviour{"/bad/entities", false}, Misbehaviour{"/bad/unknown-entity", true},
                    Misbehaviour{"/bad/xxe", true}, Misbehaviour{"/bad/xxe?kind=parameter", true},
                    Misbehaviour{"/bad/billion-laughs", true}, Misbehaviour{"/bad/controls", false},
                    Misbehaviour{"/bad/empty", true}));
