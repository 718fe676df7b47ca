// Reading a 10 MB document with the JSON reader next to QJsonDocument::fromJson on the same bytes.
// Two documents: one whose numbers are all integers, one where every number has a point.
// For scale, the last benchmark reaches the reader's result type (nested QVariantMap/QVariantList)
// through Qt: QJsonDocument::fromJson followed by toVariant.
// The heap each benchmark leaves behind (glibc keeps or trims it) changes the next one's figures:
// for a ratio on an equal footing run with --benchmark_enable_random_interleaving=true and several
// repetitions, or each side alone with --benchmark_filter.
#include "support/json/cjsondeserializer.h"

#include <QJsonDocument>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kDocumentSize = 10 * 1024 * 1024;

// A feed carries one to three of the user's eight labels, picked by a scrambled index: the label
// objects repeat across entries as in real subscription lists, their combinations much less.
QByteArray categories(int index)
{
    static const char *const labels[] = {"News",  "Tech",  "Science", "Sports",
                                         "Music", "Local", "World",   "Blogs"};
    const quint32 scrambled = quint32(index) * 2654435761U;
    const int count = 1 + int(scrambled >> 28) % 3;
    QByteArray list = "[";
    for (int k = 0; k < count; ++k) {
        const QByteArray label = labels[(scrambled >> (4 * k)) % 8];
        if (k > 0)
            list += ',';
        list += "{\"id\":\"user/1/label/" + label + "\",\"label\":\"" + label + "\"}";
    }
    return list + ']';
}

QByteArray entry(int index, bool decimals)
{
    const QByteArray n = QByteArray::number(index);
    const QByteArray number = decimals ? QByteArray::number(index) + ".25" : QByteArray::number(index * 7);
    const QByteArray negative = QByteArray(decimals ? "-0." : "-") + n;
    return "{\"id\":\"feed/http://example.org/" + n + "/rss\",\"title\":\"Headline number " + n +
           " \\u00e9t\xc3\xa9 \\\"quoted\\\" \\/ slash\",\"sortid\":" + number +
           ",\"categories\":" + categories(index) + ",\"firstitemmsec\":" + number +
           ",\"stats\":{\"unread\":" + negative +
           ",\"starred\":true,\"hidden\":false,\"icon\":null,\"counts\":[1,22,333," + number + "]}}";
}

QByteArray makeDocument(bool decimals)
{
    QByteArray document = "{\"subscriptions\":[\n";
    document.reserve(kDocumentSize + 4096);
    for (int index = 0; document.size() < kDocumentSize; ++index) {
        if (index > 0)
            document += ",\n";
        document += entry(index, decimals);
    }
    document += "\n]}";
    return document;
}

const QByteArray &document(bool decimals)
{
    static const QByteArray integers = makeDocument(false);
    static const QByteArray withPoints = makeDocument(true);
    return decimals ? withPoints : integers;
}

void readWithCJSON(benchmark::State &state)
{
    const QByteArray &data = document(state.range(0) != 0);
    for (auto _ : state) {
        JSONError error;
        std::optional<QVariantMap> value = CJSONDeserializer().deserializeAsDictionary(data, &error);
        if (!value)
            state.SkipWithError(qPrintable(error.message));
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void readWithQJsonDocument(benchmark::State &state)
{
    const QByteArray &data = document(state.range(0) != 0);
    for (auto _ : state) {
        QJsonParseError error;
        QJsonDocument value = QJsonDocument::fromJson(data, &error);
        if (error.error != QJsonParseError::NoError)
            state.SkipWithError(qPrintable(error.errorString()));
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void readWithQJsonDocumentToVariant(benchmark::State &state)
{
    const QByteArray &data = document(state.range(0) != 0);
    for (auto _ : state) {
        QVariant value = QJsonDocument::fromJson(data).toVariant();
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

} // namespace

// Argument 0: integers only; 1: every number has a point.
BENCHMARK(readWithCJSON)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readWithQJsonDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readWithQJsonDocumentToVariant)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
