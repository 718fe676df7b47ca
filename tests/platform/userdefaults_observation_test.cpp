#include "common/temphome.h"
#include "common/waitfor.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QThread>
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

class UserDefaultsObservationTest : public ::testing::Test {
protected:
    // Records the delivered values, and whether all came on the main thread.
    UserDefaults::Observer recorder()
    {
        return [this](const QVariant &value) {
            std::lock_guard lock(mutex);
            values.append(value);
            onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        };
    }
    QVariantList recorded()
    {
        std::lock_guard lock(mutex);
        return values;
    }

    TempHome home;
    UserDefaults store{home.configHome() + u"/vantrel"_s};
    QObject context;
    std::mutex mutex;
    QVariantList values;
    bool onMainThread = true;
};

TEST_F(UserDefaultsObservationTest, callsAtOnceThenOnEveryChangeInOrder)
{
    store.observe(SettingsKey::limit, &context, recorder());
    store.registerDefaults({{SettingsKey::limit, 500}});
    store.setObject(10, SettingsKey::limit);
    store.setObject(20, SettingsKey::limit);
    store.removeObjectForKey(SettingsKey::limit);
    EXPECT_EQ(recorded(), (QVariantList{QVariant(), qint64(500), qint64(10), qint64(20), qint64(500)}));
}

TEST_F(UserDefaultsObservationTest, onlyChangesOfTheEffectiveValueAreReported)
{
    store.setObject(u"Glass"_s, SettingsKey::soundName);
    store.observe(SettingsKey::soundName, &context, recorder());
    store.setObject(u"Glass"_s, SettingsKey::soundName);
    store.registerDefaults({{SettingsKey::soundName, u"Submarine"_s}});
    store.setObject(u"other key"_s, SettingsKey::fontName);
    EXPECT_EQ(recorded(), QVariantList{u"Glass"_s});
}

TEST_F(UserDefaultsObservationTest, stopsWhenTheContextIsDestroyedOrTheObservationRemoved)
{
    auto shortLived = std::make_unique<QObject>();
    store.observe(SettingsKey::limit, shortLived.get(), recorder());
    const auto id = store.observe(SettingsKey::limit, nullptr, recorder());
    shortLived.reset();
    store.removeObservation(id);
    store.setObject(1, SettingsKey::limit);
    EXPECT_EQ(recorded().size(), 2);
}

TEST_F(UserDefaultsObservationTest, workOfOtherThreadsIsDeliveredOnTheMainThreadInOrder)
{
    std::thread worker([this] {
        store.observe(SettingsKey::refreshRate, &context, recorder());
        for (int rate = 1; rate <= 50; ++rate)
            store.setObject(rate, SettingsKey::refreshRate);
    });
    worker.join();
    EXPECT_TRUE(recorded().isEmpty());
    ASSERT_TRUE(waitFor([&] { return recorded().size() == 51; }));
    for (qsizetype i = 1; i <= 50; ++i)
        EXPECT_EQ(recorded()[i], QVariant(qint64(i)));
    EXPECT_TRUE(onMainThread);
}

TEST_F(UserDefaultsObservationTest, aCallbackMayChangeTheStore)
{
    store.observe(SettingsKey::firstRun, &context, [this](const QVariant &value) {
        if (value.isValid())
            store.setObject(u"Submarine"_s, SettingsKey::soundName);
    });
    store.observe(SettingsKey::soundName, &context, recorder());
    store.setObject(false, SettingsKey::firstRun);
    EXPECT_EQ(recorded(), (QVariantList{QVariant(), u"Submarine"_s}));
}

} // namespace
