// Every merge and every row redraw reads entries through DataItem::objectForKey.
#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

DataItem &realisticItem()
{
    static DataItem item;
    static const bool filled = [] {
        item.setObject(u"A headline of ordinary length for a news ticker"_s, ItemKey::title);
        item.setObject(u"https://news.example.org/2026/12/06/story"_s, ItemKey::link);
        item.setObject(QString(u"<p>Body text </p>"_s).repeated(40), ItemKey::description);
        item.setObject(u"urn:uuid:3f2504e0-4f89-11d3-9a0c-0305e82c3301"_s, ItemKey::guid);
        item.setObject(u"Sun, 06 Dec 2026 10:00:00 GMT"_s, ItemKey::pubDate);
        item.setObject(QDateTime::currentDateTimeUtc(), ItemKey::parsedDate);
        item.setObject(QDateTime::currentDateTimeUtc(), ItemKey::originalDate);
        item.setObject(42, ItemKey::sequence);
        item.setObject(false, ItemKey::mark);
        return true;
    }();
    Q_UNUSED(filled);
    return item;
}

void BM_DataItemObjectForKey(benchmark::State &state)
{
    DataItem &item = realisticItem();
    const QString key = ItemKey::title;
    for (auto _ : state)
        benchmark::DoNotOptimize(item.objectForKey(key));
}
BENCHMARK(BM_DataItemObjectForKey);

void BM_DataItemParsedDate(benchmark::State &state)
{
    DataItem &item = realisticItem();
    for (auto _ : state)
        benchmark::DoNotOptimize(item.parsedDate());
}
BENCHMARK(BM_DataItemParsedDate);

void BM_DataItemDictionary(benchmark::State &state)
{
    DataItem &item = realisticItem();
    for (auto _ : state)
        benchmark::DoNotOptimize(item.dictionary());
}
BENCHMARK(BM_DataItemDictionary);

} // namespace

BENCHMARK_MAIN();
