#include "feedsimprocess.h"

#include "common/feedentrycollector.h"
#include "model/parse/feedloader.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct Loaded {
    QString error;
    QString title;
    QList<FeedEntry> entries;
};

} // namespace

// A feed fetched from feedsim and parsed as it arrives, the way a refresh does it.
class FeedLoaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new FeedSimProcess; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->isRunning()); }

    static Loaded load(const QString &path, qint64 maxBytes = 32 * 1024 * 1024)
    {
        FetchOptions options;
        options.idleTimeout = 2s;
        options.deadline = 5s;
        options.maxBytes = maxBytes;
        FeedLoader loader(options, FeedParser::Options{std::chrono::nanoseconds::zero()});
        FeedEntryCollector collector;
        const QString error = loader.load(server->url(path), collector);
        return {error, collector.title(), collector.entries()};
    }

    static inline FeedSimProcess *server = nullptr;
};

TEST_F(FeedLoaderTest, feedsChangeStepByStep)
{
    const Loaded first = load(u"/rss/news.xml?entries=5&step=0&updates=2"_s);
    ASSERT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    EXPECT_EQ(first.title, u"Feedsim \u201Cnews\u201D"_s);
    ASSERT_EQ(first.entries.size(), 5);
    EXPECT_EQ(first.entries[0].value(u"guid"_s).trimmed(), u"news-5"_s);

    const Loaded later = load(u"/rss/news.xml?entries=5&step=2&updates=2"_s);
    ASSERT_EQ(later.entries.size(), 5);
    EXPECT_EQ(later.entries[0].value(u"guid"_s).trimmed(), u"news-7"_s);       // two new entries
    EXPECT_EQ(later.entries[4].value(u"guid"_s).trimmed(), u"news-3"_s);       // two vanished
    EXPECT_TRUE(later.entries[2].value(u"title"_s).contains(u"(update 1)"_s)); // same guid, new title
    EXPECT_EQ(later.entries[2].value(u"guid"_s).trimmed(), u"news-5"_s);

    const Loaded atom = load(u"/atom/news.xml?entries=2"_s);
    ASSERT_TRUE(atom.error.isEmpty()) << atom.error.toStdString();
    ASSERT_EQ(atom.entries.size(), 2);
    EXPECT_TRUE(atom.entries[0].value(u"href"_s).startsWith(u"http://127.0.0.1:"_s));
}

TEST_F(FeedLoaderTest, httpErrorWinsEvenWhenTheBodyIsAFeed)
{
    const Loaded loaded = load(u"/bad/status/404?body=xml"_s);
    EXPECT_EQ(loaded.error, u"HTTP 404 Not Found"_s);
    EXPECT_TRUE(loaded.entries.isEmpty());
    EXPECT_EQ(load(u"/bad/status/502?body=html"_s).error, u"HTTP 502 Bad Gateway"_s);
}

TEST_F(FeedLoaderTest, charsetsFromDeclarationAndHeader)
{
    const Loaded latin = load(u"/bad/latin1"_s);
    ASSERT_TRUE(latin.error.isEmpty()) << latin.error.toStdString();
    EXPECT_EQ(latin.title, u"Feedsim \u201Ccaf\u00E9-ISO-8859-1\u201D"_s);

    const Loaded windows = load(u"/bad/cp1252"_s);
    ASSERT_TRUE(windows.error.isEmpty()) << windows.error.toStdString();
    EXPECT_EQ(windows.title, u"Feedsim \u201Ccaf\u00E9-windows-1252\u201D"_s);
    EXPECT_TRUE(windows.entries[0].value(u"description"_s).contains(u"\u2019rise\u2019 \u20AC5"_s));

    // The header's charset beats the declaration; bytes that are not UTF-8 become U+FFFD.
    const Loaded overridden = load(u"/bad/cp1252?charset=utf-8"_s);
    ASSERT_TRUE(overridden.error.isEmpty()) << overridden.error.toStdString();
    EXPECT_EQ(overridden.title, u"Feedsim \uFFFDcaf\uFFFD-windows-1252\uFFFD"_s);
}

TEST_F(FeedLoaderTest, messyButReadableFeedsAreRead)
{
    EXPECT_EQ(load(u"/bad/entities"_s).title, u"Caf\u00E9\u00A0news \u2013 it\u2019s \u00A9\u2026"_s);
    const Loaded controls = load(u"/bad/controls"_s);
    EXPECT_TRUE(controls.error.isEmpty()) << controls.error.toStdString();
    EXPECT_EQ(controls.title, u"Bell and null"_s);
    // An external DTD is never loaded, and not needed.
    const Loaded dtd = load(u"/bad/xxe?kind=dtd&file=/etc/hostname"_s);
    EXPECT_TRUE(dtd.error.isEmpty()) << dtd.error.toStdString();
    EXPECT_EQ(dtd.title, u"external subset"_s);
}

TEST_F(FeedLoaderTest, brokenOrHostileDocumentsFailWithTheParserError)
{
    const struct {
        QString path;
        QString error;
    } cases[] = {
        {u"/bad/malformed?kind=mismatch"_s,
         u"XML error at line 4: Opening and ending tag mismatch: title line 4 and titel"_s},
        {u"/bad/malformed?kind=truncated"_s, u"XML error at line 5: document ends before </title>"_s},
        {u"/bad/malformed?kind=garbage"_s, u"XML error at line 1: Start tag expected, '<' not found"_s},
        {u"/bad/empty"_s, u"XML error at line 1: Document is empty"_s},
        {u"/bad/unknown-entity"_s, u"XML error at line 2: undefined entity &bogus;"_s},
        {u"/bad/xxe?file=/etc/hostname"_s, u"XML error at line 2: external entity xxe is not allowed"_s},
        {u"/bad/xxe?kind=parameter&file=/etc/hostname"_s,
         u"XML error at line 2: external entity xxe is not allowed"_s},
        {u"/bad/billion-laughs"_s, u"XML error at line 14: entity expansion exceeds the limit of 1 MiB"_s},
        {u"/bad/quadratic"_s, u"XML error at line 3: entity expansion exceeds the limit of 1 MiB"_s},
    };
    for (const auto &c : cases) {
        const Loaded loaded = load(c.path);
        EXPECT_EQ(loaded.error, c.error) << c.path.toStdString();
    }
    const Loaded html = load(u"/bad/malformed?kind=html"_s);
    EXPECT_TRUE(html.error.startsWith(u"XML error at line 2: "_s)) << html.error.toStdString();
}

TEST_F(FeedLoaderTest, transferFailuresWinOverHalfParsedDocuments)
{
    EXPECT_EQ(load(u"/bad/gzip-bomb?size=16"_s, 1024 * 1024).error, u"Download exceeds 1 MiB"_s);
    EXPECT_EQ(load(u"/bad/redirect/2"_s).error, QString());
    EXPECT_EQ(load(u"/bad/loop/b"_s).error, u"Too many redirects (more than 10)"_s);
}
