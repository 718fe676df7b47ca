// Merging 100,000 visible entries of 1,000 feeds, against the floor of sorting the same number
// of (sequence, date, pointer) records; searching them, against one substring scan over their
// pre-folded text.
#include "managerbenchdata.h"
#include "model/entry/textfolding.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int feedCount = 1000;
constexpr int entriesPerFeed = 100;
const QString absentWord = u"quixotic"_s; // in no entry: every entry is scanned to the end

class Unreachable : public Reachability {
public:
    using Reachability::Reachability;
    bool isReachable() const override { return false; }
};

struct World {
    World()
        : defaults(ManagerBenchData::temporaryHome().path() + u"/config/vantrel"_s),
          clock(QDateTime::fromSecsSinceEpoch(ManagerBenchData::now, Qt::UTC)), reachability(defaults)
    {
    }
    UserDefaults defaults;
    ManualClock clock;
    Unreachable reachability;
    std::unique_ptr<DatasourceManager> manager;
};

World &world()
{
    static World *instance = [] {
        auto *made = new World;
        made->defaults.registerDefaults({{SettingsKey::ageLimit, 30},
                                         {SettingsKey::limit, 0},
                                         {SettingsKey::refreshRate, 30},
                                         {SettingsKey::receiveTimeStamp, false},
                                         {SettingsKey::keywords, QVariantList()}});
        QVariantList feeds;
        for (int feed = 0; feed < feedCount; ++feed)
            feeds.append(QVariantMap{{u"uuid"_s, u"FEED-%1"_s.arg(feed)},
                                     {u"name"_s, u"Feed number %1"_s.arg(feed)},
                                     {u"url"_s, u"http://127.0.0.1:9/%1.xml"_s.arg(feed)},
                                     {u"enabled"_s, true}});
        made->defaults.setObject(feeds, SettingsKey::feeds);
        DatasourceManager::Options options;
        options.startTimers = false;
        made->manager =
            std::make_unique<DatasourceManager>(made->defaults, made->clock, made->reachability, options);
        QRandomGenerator random(7);
        const auto sources = made->manager->datasources();
        for (int feed = 0; feed < feedCount; ++feed) {
            for (int index = entriesPerFeed - 1; index >= 0; --index) {
                auto item = ManagerBenchData::entry(random, feed, index);
                if (index < 3)
                    item->setObject(random.bounded(1, 500), ItemKey::sequence);
                sources.at(feed)->addItem(item);
            }
        }
        made->manager->mergeSync();
        if (made->manager->items().size() != feedCount * entriesPerFeed)
            qFatal("expected %d visible entries, got %lld", feedCount * entriesPerFeed,
                   qlonglong(made->manager->items().size()));
        return made;
    }();
    return *instance;
}

QList<DataItemPtr> allEntries()
{
    QList<DataItemPtr> entries;
    for (const auto &source : world().manager->datasources())
        entries.append(source->items());
    return entries;
}

void BM_SortFloor(benchmark::State &state)
{
    struct Record {
        int sequence;
        qint64 date;
        const DataItem *item;
    };
    std::vector<Record> records;
    for (const auto &item : allEntries())
        records.push_back({item->sequence(), item->parsedDateMsecs(), item.get()});
    for (auto _ : state) {
        std::vector<Record> copy = records;
        std::sort(copy.begin(), copy.end(), [](const Record &a, const Record &b) {
            if (a.sequence != b.sequence)
                return a.sequence > b.sequence;
            if (a.date != b.date)
                return a.date > b.date;
            return a.item < b.item;
        });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_SortFloor)->Unit(benchmark::kMillisecond);

void BM_Merge(benchmark::State &state)
{
    DatasourceManager &manager = *world().manager;
    manager.setFilter(QString());
    manager.mergeSync();
    for (auto _ : state) {
        manager.mergeSync();
        benchmark::DoNotOptimize(manager.items().size());
    }
}
BENCHMARK(BM_Merge)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchScanFloor(benchmark::State &state)
{
    std::vector<std::pair<QByteArray, QString>> texts; // folded title and description, folded feed name
    for (const auto &item : allEntries())
        texts.emplace_back(item->foldedSearchText(), TextFolding::fold(item->datasource()->name()));
    const QString needle = TextFolding::fold(absentWord);
    const QByteArray utf8Needle = needle.toUtf8();
    for (auto _ : state) {
        int found = 0;
        for (const auto &[text, name] : texts)
            found +=
                TextFolding::containsFolded(text, utf8Needle) || TextFolding::containsFolded(name, needle);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SearchScanFloor)->Unit(benchmark::kMillisecond);

void BM_MergeWithSearch(benchmark::State &state)
{
    DatasourceManager &manager = *world().manager;
    manager.setFilter(absentWord);
    manager.mergeSync();
    for (auto _ : state) {
        manager.mergeSync();
        benchmark::DoNotOptimize(manager.items().size());
    }
    manager.setFilter(QString());
}
BENCHMARK(BM_MergeWithSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return ManagerBenchData::runBenchmarks(argc, argv, [] { world(); });
}
