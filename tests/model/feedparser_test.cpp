#include "common/feedentrycollector.h"
#include "model/parse/feedparser.h"
#include "model/parse/feedtext.h"

#include <QRandomGenerator>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Records every event as one line, so that two parses can be compared whole.
class EventRecorder : public FeedParserHandler {
public:
    QStringList events;

    void startElement(const QStringList &path, const FeedAttributes &attributes) override
    {
        QString line = u"start "_s + path.join(u'/');
        for (int i = 0; i < attributes.count(); ++i)
            line += u" "_s + attributes.name(i) + u"="_s + attributes.value(i);
        events.append(line);
    }
    void characters(const QStringList &path, const QString &text) override
    {
        events.append(u"text "_s + path.join(u'/') + u": "_s + text);
    }
    void endElement(const QStringList &path) override { events.append(u"end "_s + path.join(u'/')); }
};

constexpr FeedParser::Options kNoPause{std::chrono::nanoseconds::zero()};

struct Outcome {
    QStringList events;
    QString error;
};

// Parses the document cut into chunks of the given sizes (the last size repeats).
Outcome parseInChunks(const QByteArray &document, const std::function<qsizetype()> &nextSize,
                      const QByteArray &httpCharset = {})
{
    EventRecorder recorder;
    FeedParser parser(recorder, kNoPause);
    parser.setHttpCharset(httpCharset);
    qsizetype offset = 0;
    while (offset < document.size()) {
        const qsizetype size = std::min(nextSize(), document.size() - offset);
        parser.feed(QByteArrayView(document).sliced(offset, size));
        offset += size;
    }
    parser.finish();
    return {recorder.events, parser.errorString()};
}

Outcome parseWhole(const QByteArray &document, const QByteArray &httpCharset = {})
{
    return parseInChunks(
        document, [&] { return document.size(); }, httpCharset);
}

struct Parsed {
    QList<FeedEntry> entries;
    QString title;
    QString error;
};

Parsed collect(const QByteArray &document, const QByteArray &httpCharset = {})
{
    FeedEntryCollector collector;
    FeedParser parser(collector, kNoPause);
    parser.setHttpCharset(httpCharset);
    parser.feed(document);
    parser.finish();
    return {collector.entries(), collector.title(), parser.errorString()};
}

QByteArray rssDocument(int entries)
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                     "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">\n<channel>\n"
                     "<title>Caf\xC3\xA9 &amp; News</title>\n<image><url>http://h/i.png</url></image>\n";
    for (int i = 0; i < entries; ++i) {
        doc += "<item>\n<title>Entry " + QByteArray::number(i) +
               " \xE2\x80\x94 &lt;b&gt;</title>\n"
               "<link>http://h/" +
               QByteArray::number(i) +
               "?a=1&amp;b=2</link>\n"
               "<description><![CDATA[<p>Body " +
               QByteArray::number(i) +
               "</p>]]></description>\n"
               "<content:encoded>&#x263A; &#9731;</content:encoded>\n"
               "<dc:date>2026-12-06T10:00:00Z</dc:date>\n<guid isPermaLink=\"false\">g" +
               QByteArray::number(i) +
               "</guid>\n"
               "</item>\n";
    }
    return doc + "</channel>\n</rss>\n";
}

} // namespace

TEST(FeedParserChunksTest, sameEventsWholeByteByByteAndRandomChunks)
{
    const QByteArray document = rssDocument(20);
    const Outcome whole = parseWhole(document);
    ASSERT_TRUE(whole.error.isEmpty()) << whole.error.toStdString();
    ASSERT_GT(whole.events.size(), 200);

    const Outcome bytes = parseInChunks(document, [] { return qsizetype(1); });
    EXPECT_EQ(bytes.events, whole.events);
    EXPECT_TRUE(bytes.error.isEmpty());

    QRandomGenerator random(42);
    for (int round = 0; round < 10; ++round) {
        const Outcome chunks = parseInChunks(document, [&] { return qsizetype(random.bounded(1, 300)); });
        EXPECT_EQ(chunks.events, whole.events) << "round " << round;
    }
}

TEST(FeedParserChunksTest, byteByByteInWindows1252AndUtf16)
{
    const QByteArray latin = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><rss><channel><title>\x93"
                             "Caf\xE9\x94</title></channel></rss>";
    const Outcome whole = parseWhole(latin);
    EXPECT_EQ(parseInChunks(latin, [] { return qsizetype(1); }).events, whole.events);
    EXPECT_TRUE(whole.events.contains(u"text rss/channel/title: \u201CCaf\u00E9\u201D"_s))
        << whole.events.join(u'\n').toStdString();

    const QString text =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><rss><channel><title>\u00E9t\u00E9 \U0001F600</title></channel></rss>"_s;
    QByteArray utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const Outcome wide = parseInChunks(utf16, [] { return qsizetype(1); });
    EXPECT_TRUE(wide.error.isEmpty()) << wide.error.toStdString();
    EXPECT_TRUE(wide.events.contains(u"text rss/channel/title: \u00E9t\u00E9 \U0001F600"_s))
        << wide.events.join(u'\n').toStdString();
}

TEST(FeedParserEventsTest, qualifiedNamesAsWrittenAndPaths)
{
    const Outcome outcome = parseWhole(
        "<feed xmlns=\"http://www.w3.org/2005/Atom\" xmlns:media=\"m\"><entry><media:thumbnail url=\"u\"/>"
        "<link rel=\"alternate\" href=\"http://a/1\"/></entry></feed>");
    ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.events, (QStringList{u"start feed xmlns=http://www.w3.org/2005/Atom xmlns:media=m"_s,
                                           u"start feed/entry"_s, u"start feed/entry/media:thumbnail url=u"_s,
                                           u"end feed/entry/media:thumbnail"_s,
                                           u"start feed/entry/link rel=alternate href=http://a/1"_s,
                                           u"end feed/entry/link"_s, u"end feed/entry"_s, u"end feed"_s}));
}

// In text, the same entities are decoded (see the feed documents); here, in attribute values.
TEST(FeedParserEntitiesTest, undeclaredHtmlEntitiesInAttributesAreDecoded)
{
    const Outcome outcome = parseWhole("<a><b c=\"x&eacute;&nbsp;&amp;y\"/></a>");
    EXPECT_TRUE(outcome.events.contains(u"start a/b c=x\u00E9\u00A0&y"_s))
        << outcome.events.join(u'\n').toStdString();
}

TEST(FeedParserEntitiesTest, unsafeOrBrokenEntitiesFailTheDocument)
{
    QTemporaryFile secret;
    ASSERT_TRUE(secret.open());
    secret.write("top-secret-content");
    secret.flush();
    const QByteArray url = "file://" + secret.fileName().toUtf8();

    const struct {
        QByteArray document;
        QString error;
    } cases[] = {
        {"<rss><channel><title>&bogus;</title></channel></rss>",
         u"XML error at line 1: undefined entity &bogus;"_s},
        {"<!DOCTYPE rss [<!ENTITY x SYSTEM \"" + url +
             "\">]><rss><channel><title>&x;</title></channel></rss>",
         u"XML error at line 1: external entity x is not allowed"_s},
        {"<!DOCTYPE rss [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]><rss/>",
         u"XML error at line 1: external entity p is not allowed"_s},
        {"<!DOCTYPE rss SYSTEM \"" + url + "\"><rss><channel><title>&x;</title></channel></rss>",
         u"XML error at line 1: undefined entity &x;"_s},
        {"<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>",
         u"XML error at line 1: entity &a; refers to itself"_s},
        {"<rss>\n<channel>\n<title>x</titel></channel></rss>",
         u"XML error at line 3: Opening and ending tag mismatch: title line 3 and titel"_s},
        {"<rss><channel>", u"XML error at line 1: document ends before </channel>"_s},
        {"", u"XML error at line 1: Document is empty"_s},
    };
    for (const auto &c : cases) {
        const Outcome whole = parseWhole(c.document);
        EXPECT_EQ(whole.error, c.error) << c.document.toStdString();
        EXPECT_FALSE(whole.events.join(u' ').contains(u"top-secret"_s));
        const Outcome bytes = parseInChunks(c.document, [] { return qsizetype(1); });
        EXPECT_FALSE(bytes.error.isEmpty()) << c.document.toStdString();
    }
}

TEST(FeedParserEntitiesTest, expansionBombsAreStopped)
{
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        laughs += "<!ENTITY lol" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            laughs += "&lol" + (level > 1 ? QByteArray::number(level - 1) : QByteArray()) + ";";
        laughs += "\">";
    }
    laughs += "]><lolz>&lol9;</lolz>";
    EXPECT_EQ(parseWhole(laughs).error,
              u"XML error at line 1: entity expansion exceeds the limit of 1 MiB"_s);

    QByteArray quadratic = "<!DOCTYPE r [<!ENTITY big \"" + QByteArray(64 * 1024, 'a') + "\">]><r>";
    for (int i = 0; i < 100; ++i)
        quadratic += "&big;";
    quadratic += "</r>";
    EXPECT_EQ(parseWhole(quadratic).error,
              u"XML error at line 1: entity expansion exceeds the limit of 1 MiB"_s);
}

TEST(FeedParserEventsTest, textDecodesWhereverLongerSequencesFall)
{
    // Sequences of two to four bytes at every offset of runs of ASCII short and long.
    const QStringList pieces{u"\u00E9"_s, u"\u20AC"_s, u"\U0001F600"_s, u"\u00A0\u2019"_s};
    QByteArray document = "<r>";
    QStringList expected;
    for (int run = 0; run < 40; ++run) {
        const QString text = QString(run, u'a') + pieces[run % pieces.size()] + QString(run % 7, u'b') +
                             pieces[(run + 1) % pieces.size()];
        document += "<t>" + text.toUtf8() + "</t>";
        expected.append(u"text r/t: "_s + text);
    }
    // A byte-order mark that starts a text is dropped; one inside it is kept.
    document += "<t>\xEF\xBB\xBFx\xEF\xBB\xBF</t></r>";
    expected.append(u"text r/t: x\uFEFF"_s);
    const Outcome outcome = parseWhole(document);
    ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    QStringList texts;
    for (const QString &event : outcome.events) {
        if (event.startsWith(u"text "_s))
            texts.append(event);
    }
    EXPECT_EQ(texts, expected);
}

TEST(FeedParserEventsTest, manyDistinctNamesKeepTheirPaths)
{
    // More distinct names, prefixed and not, than the name table holds at first.
    QByteArray document = "<r xmlns:p=\"urn:p\">";
    QStringList expected{u"start r xmlns:p=urn:p"_s};
    for (int i = 0; i < 100; ++i) {
        const QByteArray name = (i % 3 == 0 ? "p:e" : "e") + QByteArray::number(i % 50);
        const QByteArray space = "\n" + QByteArray(i % 12, ' ') + (i % 2 ? "\t" : "");
        document += space + "<" + name + ">x" + space + "</" + name + ">";
        const QString path = u"r/"_s + QString::fromLatin1(name);
        expected += {u"text r: "_s + QString::fromLatin1(space), u"start "_s + path,
                     u"text "_s + path + u": x"_s + QString::fromLatin1(space), u"end "_s + path};
    }
    document += "\n &amp; </r>";
    expected += {u"text r: \n & "_s, u"end r"_s};
    const Outcome outcome = parseWhole(document);
    ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.events, expected);
}

// However long a text, the parser keeps a bounded amount of it, cut where a character begins.
TEST(FeedParserEventsTest, aHugeTextIsCutAtACharacterBoundary)
{
    QByteArray text(qsizetype(FeedText::maxBytes) - 1, 'a');
    text += "\xC3\xA9 and more";
    const Parsed parsed = collect("<rss><channel><title>" + text + "</title></channel></rss>");
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.title, QString(qsizetype(FeedText::maxBytes) - 1, u'a'));
}
