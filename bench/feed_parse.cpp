// Parsing a 2000-entry RSS 2.0 document: a bare libxml2 SAX2 pass against FeedParser with the
// entry collector over the same bytes, and the real length of the per-element pause.
#include "common/feedentrycollector.h"
#include "model/parse/elementpause.h"
#include "model/parse/feedparser.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <QByteArray>

#include <chrono>
#include <ctime>

namespace {

QByteArray rssDocument(int entries)
{
    QByteArray doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<channel>\n<title>Benchmark feed</title>\n"
        "<link>http://127.0.0.1/</link>\n<description>2000 entries</description>\n";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        doc +=
            "<item>\n<title>Harbour council debates the new bridge \xE2\x80\x94 story " + n +
            "</title>\n"
            "<link>http://127.0.0.1/articles/" +
            n +
            "</link>\n"
            "<description>&lt;p&gt;Story " +
            n +
            ": the council met on Tuesday to debate the plans for a new "
            "bridge across the harbour. Caf\xC3\xA9 owners welcomed the &amp; news.&lt;/p&gt;</description>\n"
            "<pubDate>Sun, 06 Dec 2026 10:00:00 +0000</pubDate>\n<guid isPermaLink=\"false\">story-" +
            n +
            "</guid>\n"
            "<dc:creator>Feedsim</dc:creator>\n</item>\n";
    }
    return doc + "</channel>\n</rss>\n";
}

const QByteArray &document()
{
    static const QByteArray doc = rssDocument(2000);
    return doc;
}

struct Counts {
    long elements = 0;
    long characters = 0;
};

void countStart(void *data, const xmlChar *, const xmlChar *, const xmlChar *, int, const xmlChar **, int,
                int, const xmlChar **)
{
    ++static_cast<Counts *>(data)->elements;
}

void countEnd(void *, const xmlChar *, const xmlChar *, const xmlChar *) {}

void countCharacters(void *data, const xmlChar *, int length)
{
    static_cast<Counts *>(data)->characters += length;
}

// libxml2's push SAX2 parser with do-nothing callbacks, fed the whole document.
void BM_BareLibxml2Sax2(benchmark::State &state)
{
    const QByteArray &doc = document();
    xmlInitParser();
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = countStart;
    handler.endElementNs = countEnd;
    handler.characters = countCharacters;
    handler.cdataBlock = countCharacters;
    for (auto _ : state) {
        Counts counts;
        xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&handler, &counts, nullptr, 0, nullptr);
        xmlParseChunk(context, doc.constData(), static_cast<int>(doc.size()), 0);
        xmlParseChunk(context, nullptr, 0, 1);
        xmlFreeParserCtxt(context);
        benchmark::DoNotOptimize(counts.elements);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.size());
}
BENCHMARK(BM_BareLibxml2Sax2)->Unit(benchmark::kMillisecond);

class NullHandler : public FeedParserHandler {
public:
    void startElement(const QStringList &, const FeedAttributes &) override {}
    void characters(const QStringList &, const QString &) override {}
    void endElement(const QStringList &) override {}
};

// FeedParser alone (decoding, entities, qualified names, paths, coalesced text as QString),
// whole document, pause off.
void BM_FeedParserEvents(benchmark::State &state)
{
    const QByteArray &doc = document();
    for (auto _ : state) {
        NullHandler handler;
        FeedParser parser(handler, FeedParser::Options{std::chrono::nanoseconds::zero()});
        parser.feed(doc);
        if (!parser.finish())
            state.SkipWithError("parse failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.size());
}
BENCHMARK(BM_FeedParserEvents)->Unit(benchmark::kMillisecond);

// FeedParser (decoding, entities, qualified names, paths, coalesced text) and the entry
// collector, fed in 16 KiB pieces as a download delivers them; the pause is off.
void BM_FeedParserEntries(benchmark::State &state)
{
    const QByteArray &doc = document();
    const qsizetype chunk = state.range(0);
    for (auto _ : state) {
        FeedEntryCollector collector;
        FeedParser parser(collector, FeedParser::Options{std::chrono::nanoseconds::zero()});
        for (qsizetype offset = 0; offset < doc.size(); offset += chunk)
            parser.feed(QByteArrayView(doc).sliced(offset, std::min(chunk, doc.size() - offset)));
        if (!parser.finish() || collector.entries().size() != 2000)
            state.SkipWithError("parse failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.size());
}
BENCHMARK(BM_FeedParserEntries)->Arg(16 * 1024)->Arg(1 << 30)->Unit(benchmark::kMillisecond);

// The same parse with the standard pause at every element start: the pause per element is
// (this − the run without pause) / elements.
void BM_FeedParserEntriesPaused(benchmark::State &state)
{
    const QByteArray &doc = document();
    long elements = 0;
    for (auto _ : state) {
        FeedEntryCollector collector;
        FeedParser parser(collector);
        parser.feed(doc);
        if (!parser.finish())
            state.SkipWithError("parse failed");
    }
    elements = static_cast<long>(doc.count("</"));
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(BM_FeedParserEntriesPaused)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Real length of one per-element pause (wall time per call).
void BM_ElementPause(benchmark::State &state)
{
    for (auto _ : state)
        ElementPause::pause();
}
BENCHMARK(BM_ElementPause)->UseRealTime()->Unit(benchmark::kMicrosecond);

// For comparison: a plain 10 µs nanosleep.
void BM_PlainNanosleep10us(benchmark::State &state)
{
    const timespec request{0, 10'000};
    for (auto _ : state)
        nanosleep(&request, nullptr);
}
BENCHMARK(BM_PlainNanosleep10us)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
