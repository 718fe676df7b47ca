// Read path of the settings store: every merge and every row redraw asks it for values.

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QVariantMap registeredTable()
{
    return {
        {SettingsKey::ageLimit, 7},
        {SettingsKey::limit, 500},
        {SettingsKey::refreshRate, 2},
        {SettingsKey::fontSize, 12},
        {SettingsKey::itemHeight, 78},
        {SettingsKey::imageWidth, 65},
        {SettingsKey::opacity, 0.75},
        {SettingsKey::gradientAngle, -1.0},
        {SettingsKey::fontName, u"Helvetica"_s},
        {SettingsKey::displayImage, true},
        {SettingsKey::showInDock, true},
        {SettingsKey::enablePreview, true},
        {SettingsKey::receiveTimeStamp, true},
        {SettingsKey::scrollToTopInterval, 120},
        {SettingsKey::keywords, QStringList{u"breaking news"_s, u"Apple"_s}},
        {SettingsKey::fontColor, QColor(Qt::white)},
        {SettingsKey::notificationCenterLevel, 5},
        {SettingsKey::checkHandlerOnStartup, true},
    };
}

struct Store {
    QTemporaryDir dir;
    UserDefaults defaults{dir.path()};

    Store()
    {
        defaults.registerDefaults(registeredTable());
        defaults.setObject(250, SettingsKey::limit);
        defaults.setObject(QColor(Qt::yellow), SettingsKey::fontColor);
        QVariantList feeds;
        for (int i = 0; i < 50; ++i)
            feeds.append(QVariantMap{{u"uuid"_s, u"feed-%1"_s.arg(i)}, {u"enabled"_s, true}});
        defaults.setObject(feeds, SettingsKey::feeds);
    }
};

void objectForRegisteredKey(benchmark::State &state)
{
    Store store;
    const QString key = SettingsKey::fontSize;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.objectForKey(key));
}
BENCHMARK(objectForRegisteredKey);

void objectForPersistedKey(benchmark::State &state)
{
    Store store;
    const QString key = SettingsKey::limit;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.objectForKey(key));
}
BENCHMARK(objectForPersistedKey);

void integerForPersistedKey(benchmark::State &state)
{
    Store store;
    const QString key = SettingsKey::limit;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.integerForKey(key));
}
BENCHMARK(integerForPersistedKey);

void feedsArray(benchmark::State &state)
{
    Store store;
    const QString key = SettingsKey::feeds;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.arrayForKey(key));
}
BENCHMARK(feedsArray);

void colourForPersistedKey(benchmark::State &state)
{
    Store store;
    const QString key = SettingsKey::fontColor;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.colorForKey(key));
}
BENCHMARK(colourForPersistedKey);

void objectForKeyWithLiteralKey(benchmark::State &state)
{
    Store store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.defaults.objectForKey(SettingsKey::fontSize));
}
BENCHMARK(objectForKeyWithLiteralKey);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
