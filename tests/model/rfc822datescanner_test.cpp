#include "support/iso8601/scopedtimezone.h"

#include "model/dates/feeddate.h"
#include "model/dates/rfc822datescanner.h"
#include "model/dates/rssdateformats.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// RSS dates near the everyday form: each field is usually right (nine times in ten) and otherwise slightly or
// plainly wrong.
QStringList generatedRSSDates(int count, unsigned seed)
{
    struct Field {
        QStringList usual;
        QStringList odd;
    };
    static const QList<Field> fields = {
        {{u"Mon"_s, u"Tue"_s, u"Wed"_s, u"Thu"_s, u"Fri"_s, u"Sat"_s, u"Sun"_s},
         {u"mon"_s, u"Monday"_s, u"Xyz"_s, u""_s}},
        {{u", "_s}, {u","_s, u" , "_s, u",  "_s}},
        {{u"01"_s, u"09"_s, u"10"_s, u"13"_s, u"28"_s, u"29"_s, u"30"_s, u"31"_s},
         {u"1"_s, u"7"_s, u"32"_s, u"00"_s, u"0"_s, u"001"_s, u" 5"_s, u"1x"_s}},
        {{u" "_s}, {u"  "_s, u""_s, u"-"_s}},
        {{u"Jan"_s, u"Feb"_s, u"Mar"_s, u"Apr"_s, u"May"_s, u"Jun"_s, u"Jul"_s, u"Aug"_s, u"Sep"_s, u"Oct"_s,
          u"Nov"_s, u"Dec"_s},
         {u"June"_s, u"jun"_s, u"JAN"_s, u"Foo"_s}},
        {{u" "_s}, {u"  "_s, u""_s}},
        {{u"2003"_s, u"2024"_s, u"2000"_s, u"1900"_s, u"1999"_s, u"2100"_s, u"9999"_s},
         {u"1899"_s, u"1582"_s, u"0003"_s, u"03"_s, u"10000"_s, u"2o03"_s}},
        {{u" "_s}, {u"  "_s, u"T"_s}},
        {{u"00"_s, u"04"_s, u"12"_s, u"23"_s}, {u"24"_s, u"4"_s, u"99"_s}},
        {{u":"_s}, {u"."_s, u""_s}},
        {{u"00"_s, u"30"_s, u"59"_s}, {u"60"_s, u"5"_s}},
        {{u":00"_s, u":07"_s, u":59"_s}, {u":60"_s, u":7"_s, u""_s, u":"_s}},
        {{u" "_s}, {u"  "_s, u""_s}},
        {{u"GMT"_s, u"UT"_s, u"UTC"_s, u"Z"_s, u"+0000"_s, u"-0500"_s, u"+0530"_s, u"+1400"_s, u"+1800"_s,
          u"-1859"_s},
         {u"+1900"_s, u"-2359"_s, u"+2400"_s, u"+05:30"_s, u"EST"_s, u"gmt"_s, u"z"_s, u""_s, u"GMT+1"_s,
          u"-05"_s, u"+0560"_s}},
        {{u""_s}, {u" "_s, u"x"_s, u"\n"_s}},
    };

    std::mt19937 random(seed);
    std::bernoulli_distribution usual(0.9);
    const auto pick = [&random](const QStringList &list) {
        return list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random)];
    };
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (const Field &field : fields)
            text += pick(usual(random) ? field.usual : field.odd);
        texts += text;
    }
    return texts;
}

class RFC822DateScannerTest : public ::testing::Test {
protected:
    ScopedTimeZone newYork{"America/New_York"};
};

// The quick reader may only answer where ICU's first pattern gives the same date.
TEST_F(RFC822DateScannerTest, agreesWithTheFirstPatternOnAGeneratedSet)
{
    RSSDateFormats &formats = RSSDateFormats::forThisThread();
    int answered = 0;
    int icuAccepted = 0;
    for (const QString &text : generatedRSSDates(40'000, 20030610)) {
        const QDateTime icu = formats.parseWithPattern(0, text);
        icuAccepted += icu.isValid();
        if (const std::optional<QDateTime> quick = RFC822DateScanner::scan(text)) {
            ++answered;
            ASSERT_EQ(*quick, icu) << text.toStdString();
        }
    }
    // The set must exercise both sides: plenty of quick answers, and plenty ICU had to decide alone.
    EXPECT_GT(answered, 5'000);
    EXPECT_GT(icuAccepted, answered + 1'000);
}

TEST_F(RFC822DateScannerTest, feedDatesGiveICUsAnswerOnAGeneratedSet)
{
    RSSDateFormats &formats = RSSDateFormats::forThisThread();
    for (const QString &text : generatedRSSDates(4'000, 42))
        ASSERT_EQ(FeedDate::dateWithRSSPubDate(text), formats.parse(text)) << text.toStdString();
}

// Refresh threads parse at the same time; each must get what a single thread gets.
TEST_F(RFC822DateScannerTest, manyThreadsParseAtOnce)
{
    QStringList texts = generatedRSSDates(300, 7);
    texts +=
        {u"2003-12-13T18:30:02+01:00"_s, u"Tue, 10 Jun 2003 04:00:00 Eastern Time"_s, u"10 Jun 2003 EST"_s};
    QList<QDateTime> expected;
    for (const QString &text : texts)
        expected += FeedDate::dateWithRSSPubDate(text).isValid() ? FeedDate::dateWithRSSPubDate(text)
                                                                 : FeedDate::failOverParser(text);

    std::atomic<int> mismatches = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 3; ++round)
                for (qsizetype i = 0; i < texts.size(); ++i) {
                    QDateTime date = FeedDate::dateWithRSSPubDate(texts.at(i));
                    if (!date.isValid())
                        date = FeedDate::failOverParser(texts.at(i));
                    if (date != expected.at(i))
                        ++mismatches;
                }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}

} // namespace
