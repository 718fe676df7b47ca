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

// Records every value an observation delivers, and the thread it was delivered on.
class Recorder {
public:
    UserDefaults::Observer callback()
    {
        return [this](const QVariant &value) {
            std::lock_guard lock(m_mutex);
            m_values.append(value);
            m_onMainThread =
                m_onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        };
    }

    QVariantList values() const
    {
        std::lock_guard lock(m_mutex);
        return m_values;
    }
    qsizetype count() const { return values().size(); }
    bool allOnMainThread() const
    {
        std::lock_guard lock(m_mutex);
        return m_onMainThread;
    }

private:
    mutable std::mutex m_mutex;
    QVariantList m_values;
    bool m_onMainThread = true;
};

class UserDefaultsObservationTest : public ::testing::Test {
protected:
    TempHome home;
    UserDefaults store{home.configHome() + u"/vantrel"_s};
    QObject context;
    Recorder recorder;
};

TEST_F(UserDefaultsObservationTest, CallsOnceAtOnceThenOnEveryChangeInOrder)
{
    store.registerDefaults({{SettingsKey::limit, 500}});
    store.observe(SettingsKey::limit, &context, recorder.callback());
    ASSERT_EQ(recorder.values(), QVariantList{qint64(500)});

    store.setObject(10, SettingsKey::limit);
    store.setObject(20, SettingsKey::limit);
    store.removeObjectForKey(SettingsKey::limit);
    EXPECT_EQ(recorder.values(), (QVariantList{qint64(500), qint64(10), qint64(20), qint64(500)}));
}

TEST_F(UserDefaultsObservationTest, OnlyChangesOfTheEffectiveValueAreReported)
{
    store.setObject(u"Glass"_s, SettingsKey::soundName);
    store.observe(SettingsKey::soundName, &context, recorder.callback());
    store.setObject(u"Glass"_s, SettingsKey::soundName);
    store.registerDefaults({{SettingsKey::soundName, u"Submarine"_s}});
    store.setObject(u"other key"_s, SettingsKey::fontName);
    EXPECT_EQ(recorder.count(), 1);

    store.removeObjectForKey(SettingsKey::soundName);
    EXPECT_EQ(recorder.values().last(), QVariant(u"Submarine"_s));
}

TEST_F(UserDefaultsObservationTest, AnAbsentKeyIsReportedAsAnInvalidValue)
{
    store.observe(SettingsKey::keywords, &context, recorder.callback());
    store.setObject(QStringList{u"Linux"_s}, SettingsKey::keywords);
    store.removeObjectForKey(SettingsKey::keywords);
    EXPECT_EQ(recorder.values(), (QVariantList{QVariant(), QVariantList{u"Linux"_s}, QVariant()}));
}

TEST_F(UserDefaultsObservationTest, StopsWhenTheContextIsDestroyedOrTheObservationRemoved)
{
    Recorder removed;
    auto shortLived = std::make_unique<QObject>();
    store.observe(SettingsKey::limit, shortLived.get(), recorder.callback());
    const auto id = store.observe(SettingsKey::limit, nullptr, removed.callback());
    shortLived.reset();
    store.removeObservation(id);
    store.setObject(1, SettingsKey::limit);
    EXPECT_EQ(recorder.count(), 1);
    EXPECT_EQ(removed.count(), 1);
}

TEST_F(UserDefaultsObservationTest, ChangesFromAnotherThreadAreDeliveredOnTheMainThread)
{
    store.observe(SettingsKey::refreshRate, &context, recorder.callback());
    std::thread writer([this] {
        for (int rate = 1; rate <= 50; ++rate)
            store.setObject(rate, SettingsKey::refreshRate);
    });
    writer.join();
    ASSERT_TRUE(waitFor([&] { return recorder.values().last() == QVariant(qint64(50)); }));
    const QVariantList values = recorder.values();
    EXPECT_EQ(values.size(), 51);
    for (qsizetype i = 1; i < values.size(); ++i)
        EXPECT_EQ(values[i], QVariant(qint64(i)));
    EXPECT_TRUE(recorder.allOnMainThread());
}

TEST_F(UserDefaultsObservationTest, ObservingFromAnotherThreadGivesTheInitialCallOnTheMainThread)
{
    store.setObject(u"Futura"_s, SettingsKey::fontName);
    std::thread observer([this] { store.observe(SettingsKey::fontName, &context, recorder.callback()); });
    observer.join();
    EXPECT_EQ(recorder.count(), 0);
    ASSERT_TRUE(waitFor([&] { return recorder.count() == 1; }));
    EXPECT_EQ(recorder.values().first(), QVariant(u"Futura"_s));
    EXPECT_TRUE(recorder.allOnMainThread());
}

TEST_F(UserDefaultsObservationTest, AStaleQueuedValueNeverOverwritesANewerOne)
{
    store.observe(SettingsKey::limit, &context, recorder.callback());
    std::thread writer([this] { store.setObject(1, SettingsKey::limit); });
    writer.join();
    store.setObject(2, SettingsKey::limit);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.values().last(), QVariant(qint64(2)));
}

TEST_F(UserDefaultsObservationTest, ACallbackMayChangeTheStore)
{
    store.observe(SettingsKey::firstRun, &context, [this](const QVariant &value) {
        if (value.isValid())
            store.setObject(u"Submarine"_s, SettingsKey::soundName);
    });
    store.observe(SettingsKey::soundName, &context, recorder.callback());
    store.setObject(false, SettingsKey::firstRun);
    EXPECT_EQ(recorder.values(), (QVariantList{QVariant(), u"Submarine"_s}));
}

} // namespace
