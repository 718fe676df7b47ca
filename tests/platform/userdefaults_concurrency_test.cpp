#include "common/temphome.h"
#include "common/waitfor.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QSet>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class UserDefaultsConcurrencyTest : public ::testing::Test {
protected:
    TempHome home;
    QString folder = home.configHome() + u"/vantrel"_s;
    UserDefaults store{folder};
};

TEST_F(UserDefaultsConcurrencyTest, concurrentUpdatesOfOneArrayLoseNoWriter)
{
    constexpr int writers = 6;
    constexpr int entriesPerWriter = 150;
    std::vector<std::thread> threads;
    for (int writer = 0; writer < writers; ++writer) {
        threads.emplace_back([this, writer] {
            for (int index = 0; index < entriesPerWriter; ++index) {
                store.updateObject(SettingsKey::feeds, [&](const QVariant &current) {
                    QVariantList feeds = current.toList();
                    feeds.append(QVariantMap{{u"uuid"_s, u"feed-%1-%2"_s.arg(writer).arg(index)}});
                    return QVariant(feeds);
                });
                if (index % 50 == 0)
                    store.synchronize();
            }
        });
    }
    for (auto &thread : threads)
        thread.join();

    QSet<QString> uuids;
    for (const QVariant &feed : store.arrayForKey(SettingsKey::feeds))
        uuids.insert(feed.toMap().value(u"uuid"_s).toString());
    EXPECT_EQ(uuids.size(), writers * entriesPerWriter);
    ASSERT_TRUE(store.synchronize()) << store.errorString().toStdString();
    EXPECT_EQ(UserDefaults(folder).arrayForKey(SettingsKey::feeds).size(), writers * entriesPerWriter);
}

TEST_F(UserDefaultsConcurrencyTest, readersWritersAndObserversRunTogether)
{
    store.registerDefaults({{SettingsKey::limit, 500}});
    QObject context;
    std::atomic<int> delivered = 0;
    std::atomic<bool> stop = false;
    std::thread reader([&] {
        while (!stop) {
            const qint64 limit = store.integerForKey(SettingsKey::limit);
            ASSERT_TRUE(limit == 500 || (limit >= 0 && limit < 200)) << limit;
        }
    });
    std::thread observer([&] {
        for (int i = 0; i < 20; ++i)
            store.observe(SettingsKey::limit, &context, [&](const QVariant &) { ++delivered; });
    });
    for (int i = 0; i < 200; ++i) {
        store.setObject(i, SettingsKey::limit);
        store.removeObjectForKey(SettingsKey::limit);
    }
    observer.join();
    stop = true;
    reader.join();
    EXPECT_TRUE(waitFor([&] { return delivered >= 20; }));
}

} // namespace
