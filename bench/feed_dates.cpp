// Cost per date of each feed-date path, on real-world-looking strings. The RFC 822 path is compared with
// curl_getdate on the same strings in the same run.
#include "model/dates/feeddate.h"
#include "model/dates/rssdateformats.h"
#include "support/iso8601/iso8601dateformatter.h"

#include <QStringList>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// The everyday RSS form with the zones most feeds write.
const QStringList Rfc822 = {u"Tue, 10 Jun 2003 04:00:00 GMT"_s,   u"Wed, 04 Jan 2023 17:45:12 +0000"_s,
                            u"Mon, 15 Jul 2024 08:30:00 -0500"_s, u"Fri, 29 Feb 2008 23:59:59 +0100"_s,
                            u"Sun, 31 Dec 2017 00:00:01 GMT"_s,   u"Thu, 11 Apr 2019 12:00:00 -0700"_s,
                            u"Sat, 01 Jun 2024 06:15:30 +0530"_s, u"Tue, 19 Mar 2024 21:04:00 UT"_s};
// RSS dates only the later ICU patterns read.
const QStringList Rfc822Named = {u"Tue, 10 Jun 2003 04:00:00 Eastern Standard Time"_s,
                                 u"Tue, 10 Jun 2003 04:00:00 Central European Time"_s,
                                 u"Tue, 10 Jun 2003 04:00:00 EST~EST"_s,
                                 u"Tue, 10 Jun 2003 04:00:00 Pacific Time"_s};
const QStringList Atom = {u"2003-12-13T18:30:02Z"_s, u"2024-07-15T08:30:00Z"_s, u"2019-04-11T12:00:00Z"_s,
                          u"2008-02-29T23:59:59Z"_s};
const QStringList Iso8601 = {u"2003-12-13T18:30:02+01:00"_s, u"2024-07-15T08:30:00.123-05:00"_s,
                             u"2019-04-11T12:00:00,5Z"_s, u"2008-02-29T23:59+0530"_s, u"2012-W01-1T10:00Z"_s};
// What reaches the fail-over parser: abbreviations, one-digit days, missing seconds, ISO with offsets.
const QStringList Broken = {u"Tue, 10 Jun 2003 04:00:00 EST"_s, u"Tue, 3 Jun 2003 04:00:00 PDT"_s,
                            u"10 Jun 2003 15:21 GMT"_s,         u"Tuesday, 10-Jun-03 04:00:00 GMT"_s,
                            u"2003-12-13T18:30:02+01:00"_s,     u"2003-12-13"_s,
                            u"2003-12-13T18:30:02.5-03:30"_s,   u"Tue, 10 Jun 2003 04:00 UT"_s};

QList<QByteArray> ascii(const QStringList &texts)
{
    QList<QByteArray> out;
    for (const QString &text : texts)
        out += text.toLatin1();
    return out;
}

template <typename Parse> void runOver(benchmark::State &state, const QStringList &texts, Parse parse)
{
    for (auto _ : state)
        for (const QString &text : texts)
            benchmark::DoNotOptimize(parse(text));
    state.counters["per_date"] = benchmark::Counter(
        double(texts.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Rfc822_dateWithRSSPubDate(benchmark::State &state)
{
    runOver(state, Rfc822, FeedDate::dateWithRSSPubDate);
}

void BM_Rfc822_curl_getdate(benchmark::State &state)
{
    const QList<QByteArray> texts = ascii(Rfc822);
    for (auto _ : state)
        for (const QByteArray &text : texts)
            benchmark::DoNotOptimize(curl_getdate(text.constData(), nullptr));
    state.counters["per_date"] = benchmark::Counter(
        double(texts.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Rfc822_getDateFromString(benchmark::State &state)
{
    runOver(state, Rfc822, FeedDate::getDateFromString);
}

void BM_Rfc822_icuPatternsOnly(benchmark::State &state)
{
    runOver(state, Rfc822, [](const QString &text) { return RSSDateFormats::forThisThread().parse(text); });
}

void BM_Rfc822Named_dateWithRSSPubDate(benchmark::State &state)
{
    runOver(state, Rfc822Named, FeedDate::dateWithRSSPubDate);
}

void BM_Atom_dateWithAtomPubDate(benchmark::State &state)
{
    runOver(state, Atom, FeedDate::dateWithAtomPubDate);
}

// As the feed parser does it for dc:date: a formatter with the default settings per date.
void BM_Iso8601_dateFromString(benchmark::State &state)
{
    runOver(state, Iso8601, [](const QString &text) { return ISO8601DateFormatter().dateFromString(text); });
}

void BM_Broken_failOverParser(benchmark::State &state)
{
    runOver(state, Broken, FeedDate::failOverParser);
}

// The whole chain of the feed parser on a mix: RSS, then Atom, then the fail-over parser.
void BM_Mixed_fullChain(benchmark::State &state)
{
    const QStringList mixed = Rfc822 + Rfc822Named + Atom + Iso8601 + Broken;
    runOver(state, mixed, [](const QString &text) {
        QDateTime date = FeedDate::dateWithRSSPubDate(text);
        if (!date.isValid())
            date = FeedDate::dateWithAtomPubDate(text);
        if (!date.isValid())
            date = FeedDate::failOverParser(text);
        return date;
    });
}

} // namespace

BENCHMARK(BM_Rfc822_dateWithRSSPubDate);
BENCHMARK(BM_Rfc822_curl_getdate);
BENCHMARK(BM_Rfc822_getDateFromString);
BENCHMARK(BM_Rfc822_icuPatternsOnly);
BENCHMARK(BM_Rfc822Named_dateWithRSSPubDate);
BENCHMARK(BM_Atom_dateWithAtomPubDate);
BENCHMARK(BM_Iso8601_dateFromString);
BENCHMARK(BM_Broken_failOverParser);
BENCHMARK(BM_Mixed_fullChain);

int main(int argc, char **argv)
{
    // Texts without a zone are read in the process's zone; fix it so runs compare.
    setenv("TZ", "Europe/Berlin", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
