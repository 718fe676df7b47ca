// What one refresh of a large feed costs: parsing and filing 2000 entries into an empty source,
// refreshing a source that already has them all, next to a bare libxml2 SAX2 pass over the bytes.
// A whole refresh includes the loopback transfer and the favicon request after it; the parse and
// filing alone are measured from the bytes in memory.
#include "documentserver.h"
#include "feedgenerator.h"
#include "model/parse/elementpause.h"
#include "model/parse/feedparser.h"
#include "model/parse/feedparserhandler.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/network/feedfetcher.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

constexpr int entryCount = 2000;
constexpr qint64 origin = 1780000000;

const std::string &document()
{
    static const std::string bytes = [] {
        FeedSpec spec;
        spec.id = "bench";
        spec.entries = entryCount;
        spec.origin = origin;
        spec.baseUrl = "http://127.0.0.1";
        spec.image = false;
        return FeedGenerator::document(spec);
    }();
    return bytes;
}

class Bench : public RefreshEnvironment {
public:
    Bench() : defaults(home.path()), clock(QDateTime::fromSecsSinceEpoch(origin + 3600, Qt::UTC))
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, true},
                                   {SettingsKey::keywords, QVariantList{u"breaking news"_s, u"Apple"_s}}});
        qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
    }
    int numberOfSources() const override { return 1; }
    bool internetAvailable() const override { return true; }
    RefreshPool &refreshPool() override { return pool; }

    std::shared_ptr<RSSDatasource> newSource()
    {
        const QVariantMap entry{{u"uuid"_s, u"BENCH-%1"_s.arg(++count)}, {u"url"_s, feedUrl}};
        defaults.setObject(QVariantList{entry}, SettingsKey::feeds);
        auto source = RSSDatasource::create(entry, defaults, clock, *this);
        RSSDatasource::LoadOptions options;
        options.parser.elementPause = std::chrono::nanoseconds(0);
        source->setLoadOptions(options);
        return source;
    }

    // On the benchmark's own thread, so that its CPU time is the refresh's.
    void refresh(RSSDatasource &source)
    {
        clock.advance(10 * 60 * 1000);
        source._update();
    }

    QTemporaryDir home;
    UserDefaults defaults;
    ManualClock clock;
    DocumentServer server; // from memory and uncompressed, so it costs next to nothing
    const QString feedUrl =
        QString::fromStdString(server.serve("/feed.xml", document(), "application/rss+xml"));
    int count = 0;
    RefreshPool pool;
};

Bench &bench()
{
    static Bench instance;
    return instance;
}

void BM_BareLibxml2Sax(benchmark::State &state)
{
    xmlSAXHandler handler = {};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = [](void *, const xmlChar *, const xmlChar *, const xmlChar *, int,
                                const xmlChar **, int, int, const xmlChar **) {};
    handler.endElementNs = [](void *, const xmlChar *, const xmlChar *, const xmlChar *) {};
    handler.characters = [](void *, const xmlChar *, int) {};
    const std::string &bytes = document();
    for (auto _ : state) {
        xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr);
        xmlParseChunk(context, bytes.data(), int(bytes.size()), 1);
        xmlFreeParserCtxt(context);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(bytes.size()));
}
BENCHMARK(BM_BareLibxml2Sax)->Unit(benchmark::kMillisecond);

// Times `refresh` on a new, empty source each iteration. Making the source, dropping whatever the
// refresh left unfiled and tearing the source down are no part of it.
template <typename Refresh> void timeOnEmptySources(benchmark::State &state, Refresh refresh)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto source = bench().newSource();
        state.ResumeTiming();
        refresh(*source);
        state.PauseTiming();
        source->endRefresh();
        source.reset();
        state.ResumeTiming();
    }
}

void BM_FirstRefreshIntoEmptySource(benchmark::State &state)
{
    timeOnEmptySources(state, [](RSSDatasource &source) {
        bench().refresh(source);
        benchmark::DoNotOptimize(source.items().size());
    });
}
BENCHMARK(BM_FirstRefreshIntoEmptySource)->Unit(benchmark::kMillisecond);

// The document in the pieces a transfer delivers.
void parseInPieces(FeedParserHandler &handler, const FeedParser::Options &options)
{
    constexpr size_t piece = 16384;
    const std::string &bytes = document();
    FeedParser parser(handler, options);
    for (size_t i = 0; i < bytes.size(); i += piece)
        parser.feed(QByteArrayView(bytes.data() + i, qsizetype(std::min(piece, bytes.size() - i))));
    if (!parser.finish())
        throw std::runtime_error(parser.errorString().toStdString());
}

FeedParser::Options withoutPause()
{
    FeedParser::Options options;
    options.elementPause = std::chrono::nanoseconds(0);
    return options;
}

void BM_ParseAndFileIntoEmptySource(benchmark::State &state)
{
    timeOnEmptySources(state, [](RSSDatasource &source) {
        source.beginRefresh();
        parseInPieces(source.entryHandler(), withoutPause());
        source.fileEntries();
        source.endRefresh();
        benchmark::DoNotOptimize(source.items().size());
    });
}
BENCHMARK(BM_ParseAndFileIntoEmptySource)->Unit(benchmark::kMillisecond);

// The same without filing, so that what filing costs is the difference. Dropping the entries
// unfiled is no part of it.
void BM_ParseIntoEmptySourceWithoutFiling(benchmark::State &state)
{
    timeOnEmptySources(state, [](RSSDatasource &source) {
        source.beginRefresh();
        parseInPieces(source.entryHandler(), withoutPause());
    });
}
BENCHMARK(BM_ParseIntoEmptySourceWithoutFiling)->Unit(benchmark::kMillisecond);

void BM_RefreshWhereEveryEntryIsKnown(benchmark::State &state)
{
    auto source = bench().newSource();
    bench().refresh(*source);
    for (auto _ : state)
        bench().refresh(*source);
    state.counters["items"] = double(source->items().size());
}
BENCHMARK(BM_RefreshWhereEveryEntryIsKnown)->Unit(benchmark::kMillisecond);

// Where a refresh's time goes besides filing: the transfer over loopback alone, and the parser
// with a handler that does nothing, fed in the pieces the transfer delivers.
void BM_TransferOnly(benchmark::State &state)
{
    const QUrl url(bench().feedUrl);
    for (auto _ : state) {
        FeedFetcher fetcher(FetchOptions::forFeeds());
        QByteArray body;
        fetcher.fetch(url, body);
        benchmark::DoNotOptimize(body.size());
    }
}
BENCHMARK(BM_TransferOnly)->Unit(benchmark::kMillisecond);

class IgnoringHandler : public FeedParserHandler {
public:
    void startElement(const QStringList &, const FeedAttributes &) override {}
    void characters(const QStringList &, const QString &) override {}
    void endElement(const QStringList &) override {}
};

void BM_ParserWithIdleHandler(benchmark::State &state)
{
    for (auto _ : state) {
        IgnoringHandler handler;
        parseInPieces(handler, withoutPause());
    }
}
BENCHMARK(BM_ParserWithIdleHandler)->Unit(benchmark::kMillisecond);

void BM_ElementPause(benchmark::State &state)
{
    for (auto _ : state)
        ElementPause::pause();
}
BENCHMARK(BM_ElementPause)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
