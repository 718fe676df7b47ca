// Start-up: loading 1,000 item files of 100 entries each, against parsing the same entries from
// their feed documents.
#include "common/feedentrycollector.h"
#include "managerbenchdata.h"
#include "model/manager/datasourcemanager.h"
#include "model/parse/feedparser.h"
#include "model/source/itemfile.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int feedCount = 1000;
constexpr int entriesPerFeed = 100;

QString uuidOf(int feed)
{
    return u"FEED-%1"_s.arg(feed);
}

QByteArray rssDocument(const QList<DataItemPtr> &entries, int feed)
{
    QString document =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Feed %1</title>"
        u"<link>https://news.example/</link><description>Generated</description>\n"_s.arg(feed);
    for (const auto &entry : entries) {
        document += u"<item><title>"_s + entry->title().toHtmlEscaped() + u"</title><link>"_s +
                    entry->link() + u"</link><guid>"_s + entry->objectForKey(ItemKey::guid).toString() +
                    u"</guid><pubDate>"_s + entry->objectForKey(ItemKey::pubDate).toString() +
                    u"</pubDate><description>"_s + entry->description().toHtmlEscaped() +
                    u"</description></item>\n"_s;
    }
    document += u"</channel></rss>\n"_s;
    return document.toUtf8();
}

struct World {
    World()
        : defaults(ManagerBenchData::temporaryHome().path() + u"/config/vantrel"_s), reachability(defaults)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 30},
                                   {SettingsKey::limit, 0},
                                   {SettingsKey::refreshRate, 30},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()}});
        QRandomGenerator random(11);
        QVariantList feeds;
        for (int feed = 0; feed < feedCount; ++feed) {
            QList<DataItemPtr> entries;
            for (int index = 0; index < entriesPerFeed; ++index)
                entries.append(ManagerBenchData::entry(random, feed, index));
            if (!ItemFile(uuidOf(feed)).save(entries))
                qFatal("cannot write an item file");
            documents.append(rssDocument(entries, feed));
            feeds.append(QVariantMap{{u"uuid"_s, uuidOf(feed)},
                                     {u"name"_s, u"Feed %1"_s.arg(feed)},
                                     {u"url"_s, u"http://127.0.0.1:9/%1.xml"_s.arg(feed)},
                                     {u"enabled"_s, true}});
        }
        defaults.setObject(feeds, SettingsKey::feeds);
    }
    UserDefaults defaults;
    ManualClock clock{QDateTime::fromSecsSinceEpoch(ManagerBenchData::now, Qt::UTC)};
    Reachability reachability;
    QList<QByteArray> documents;
};

World &world()
{
    static World *instance = new World;
    return *instance;
}

void BM_ParseFeedDocuments(benchmark::State &state)
{
    const World &data = world();
    for (auto _ : state) {
        qsizetype parsed = 0;
        for (const QByteArray &document : data.documents) {
            FeedEntryCollector collector;
            FeedParser::parse(document, collector, FeedParser::Options{std::chrono::nanoseconds(0)});
            parsed += collector.entries().size();
        }
        if (parsed != feedCount * entriesPerFeed)
            state.SkipWithError("not every entry parsed");
    }
}
BENCHMARK(BM_ParseFeedDocuments)->Unit(benchmark::kMillisecond);

void BM_LoadItemFiles(benchmark::State &state)
{
    world();
    for (auto _ : state) {
        qsizetype loaded = 0;
        for (int feed = 0; feed < feedCount; ++feed)
            loaded += ItemFile(uuidOf(feed)).load().size();
        if (loaded != feedCount * entriesPerFeed)
            state.SkipWithError("not every entry loaded");
    }
}
BENCHMARK(BM_LoadItemFiles)->Unit(benchmark::kMillisecond);

// The whole start-up of the manager: the sources of "feeds", each loading its item file.
void BM_ManagerStartUp(benchmark::State &state)
{
    World &data = world();
    DatasourceManager::Options options;
    options.startTimers = false;
    for (auto _ : state) {
        auto manager =
            std::make_unique<DatasourceManager>(data.defaults, data.clock, data.reachability, options);
        if (manager->datasources().size() != feedCount)
            state.SkipWithError("not every feed created");
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ManagerStartUp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return ManagerBenchData::runBenchmarks(argc, argv, [] { world(); });
}
