#include "common/qtprinters.h"
#include "common/temphome.h"
#include "model/opml/opmlreader.h"
#include "model/opml/opmlwriter.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

inline void PrintTo(const OpmlFeed &feed, std::ostream *out)
{
    *out << "{" << feed.url.toStdString() << ", "
         << (feed.title.isNull() ? "null" : '"' + feed.title.toStdString() + '"') << "}";
}

namespace {

QByteArray opml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<opml "
           "version=\"1.0\"><head><title>t</title></head><body>" +
           body + "</body></opml>\n";
}

QList<OpmlFeed> feedsOf(const QByteArray &document)
{
    const OpmlReadResult result = OpmlReader::read(document);
    EXPECT_TRUE(result.ok()) << result.errorString.toStdString();
    return result.feeds;
}

void expectRefused(const QByteArray &document, const QString &reasonPart)
{
    const OpmlReadResult result = OpmlReader::read(document);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.errorString.contains(reasonPart, Qt::CaseInsensitive))
        << result.errorString.toStdString();
    EXPECT_TRUE(result.feeds.isEmpty());
}

} // namespace

TEST(OpmlReaderTest, takesTheLeafRssOutlinesOfNestedCategoriesInDocumentOrder)
{
    const QList<OpmlFeed> feeds = feedsOf(opml(R"X(
        <outline type="rss" title="First" text="ignored" xmlUrl="http://a.example/rss"/>
        <outline text="News">
          <outline text="World">
            <outline type="rss" title="Second" xmlUrl="https://b.example/feed"/>
          </outline>
          <outline type="rss" xmlUrl="feed://c.example/atom"/>
        </outline>
        <outline type="rss" title="Fourth" xmlUrl="http://d.example/rss"/>)X"));
    EXPECT_EQ(feeds, (QList<OpmlFeed>{{u"http://a.example/rss"_s, u"First"_s},
                                      {u"https://b.example/feed"_s, u"Second"_s},
                                      {u"feed://c.example/atom"_s, QString()},
                                      {u"http://d.example/rss"_s, u"Fourth"_s}}));
    EXPECT_TRUE(feeds[2].title.isNull());
}

TEST(OpmlReaderTest, passesOverOutlinesThatAreNotFeedsItTakes)
{
    const OpmlReadResult result = OpmlReader::read(opml(R"X(
        <outline title="no type" xmlUrl="http://a.example/rss"/>
        <outline type="atom" title="atom" xmlUrl="http://b.example/atom"/>
        <outline type="RSS" title="capitals" xmlUrl="http://c.example/rss"/>
        <outline type="rss" title="no address"/>
        <outline type="rss" title="local file" xmlUrl="file:///etc/passwd"/>
        <outline type="rss" title="script" xmlUrl="javascript:alert(1)"/>
        <outline type="rss" title="bare name" xmlUrl="/etc/passwd"/>
        <outline type="rss" title="category with a feed" xmlUrl="http://d.example/rss">
          <outline type="rss" title="kept" xmlUrl="http://e.example/rss"/>
          <item type="rss" title="not an outline" xmlUrl="http://f.example/rss"/>
        </outline>)X"));
    ASSERT_TRUE(result.ok()) << result.errorString.toStdString();
    EXPECT_EQ(result.feeds, (QList<OpmlFeed>{{u"http://e.example/rss"_s, u"kept"_s}}));
    EXPECT_EQ(result.skipped, 8);
}

TEST(OpmlReaderTest, readsOnlyOutlinesBelowTheBody)
{
    const QList<OpmlFeed> feeds = feedsOf(R"X(<opml version="1.1">
        <head><outline type="rss" xmlUrl="http://head.example/rss"/></head>
        <body><outline type="rss" xmlUrl="http://body.example/rss"/></body></opml>)X");
    EXPECT_EQ(feeds, (QList<OpmlFeed>{{u"http://body.example/rss"_s, QString()}}));
}

TEST(OpmlReaderTest, anEmptyBodyIsAnEmptyList)
{
    EXPECT_TRUE(feedsOf(opml("")).isEmpty());
}

TEST(OpmlReaderTest, refusesFilesThatAreNotSubscriptionLists)
{
    expectRefused("<opml><body><outline type=\"rss\" xmlUrl=\"http://a.example/\"></body></opml>",
                  u"line 1"_s);
    expectRefused("", u"not a readable XML document"_s);
    expectRefused("just text", u"not a readable XML document"_s);
    expectRefused("<rss version=\"2.0\"><channel/></rss>", u"not an OPML subscription list"_s);
}

TEST(OpmlReaderTest, neverExpandsEntitiesNorReadsLocalFiles)
{
    const TempHome home;
    const QString dtdPath = QDir(home.path()).filePath(u"secret.dtd"_s);
    QFile dtd(dtdPath);
    ASSERT_TRUE(dtd.open(QIODevice::WriteOnly));
    dtd.write("<!ENTITY secret \"LEAKED\">\n");
    dtd.close();
    const QByteArray fileUrl = QUrl::fromLocalFile(dtdPath).toEncoded();

    expectRefused(R"X(<?xml version="1.0"?>
        <!DOCTYPE opml [<!ENTITY secret SYSTEM ")X" +
                      fileUrl + R"X(">]>
        <opml><body><outline type="rss" title="&secret;" xmlUrl="http://a.example/rss"/></body></opml>)X",
                  u"external entity"_s);
    expectRefused(R"X(<?xml version="1.0"?>
        <!DOCTYPE opml [<!ENTITY secret "inline">]>
        <opml><body><outline type="rss" title="&secret;" xmlUrl="http://a.example/rss"/></body></opml>)X",
                  u"declares XML entities"_s);

    // An external document type is never loaded, so its entities stay unknown.
    const OpmlReadResult external = OpmlReader::read(R"X(<?xml version="1.0"?>
        <!DOCTYPE opml SYSTEM ")X" + fileUrl + R"X(">
        <opml><body><outline type="rss" title="a&secret;b" xmlUrl="http://a.example/rss"/></body></opml>)X");
    for (const OpmlFeed &feed : external.feeds)
        EXPECT_FALSE(feed.title.contains(u"LEAKED"_s));

    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE opml [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 12; ++i)
        laughs += QByteArray("<!ENTITY l%1 \"&l%0;&l%0;&l%0;&l%0;&l%0;&l%0;&l%0;&l%0;&l%0;&l%0;\">\n")
                      .replace("%1", QByteArray::number(i))
                      .replace("%0", QByteArray::number(i - 1));
    laughs += "]>\n<opml><body><outline type=\"rss\" title=\"&l12;\" "
              "xmlUrl=\"http://a.example/rss\"/></body></opml>";
    expectRefused(laughs, u"nothing was imported"_s);
}

TEST(OpmlReaderTest, refusesFilesPastItsBounds)
{
    QByteArray many;
    for (int i = 0; i <= OpmlReader::maximumOutlines; ++i)
        many += "<outline type=\"rss\" xmlUrl=\"http://a.example/" + QByteArray::number(i) + "\"/>";
    expectRefused(opml(many), u"more than 10000 outlines"_s);

    const QByteArray deep = QByteArray("<outline>").repeated(OpmlReader::maximumDepth) +
                            "<outline type=\"rss\" xmlUrl=\"http://a.example/\"/>" +
                            QByteArray("</outline>").repeated(OpmlReader::maximumDepth);
    expectRefused(opml(deep), u"nested more than 32 levels"_s);

    expectRefused(opml(QByteArray(OpmlReader::maximumFileSize, ' ')), u"too large"_s);
}

TEST(OpmlReaderTest, reportsFilesItCannotOpen)
{
    const OpmlReadResult result = OpmlReader::readFile(u"/nonexistent/subscriptions.opml"_s);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.errorString.startsWith(u"Cannot open /nonexistent/subscriptions.opml"_s))
        << result.errorString.toStdString();
}

TEST(OpmlWriterTest, writesThePrettyPrintedDocument)
{
    const QByteArray document =
        OpmlWriter::document({{u"http://a.example/rss?x=1&y=2"_s, u"Tom & \"Jerry\" <news>"_s},
                              {QString(), u"No address"_s},
                              {u"https://b.example/feed"_s, QString()}});
    EXPECT_EQ(
        document.toStdString(),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<opml version=\"1.0\">\n"
        "  <head>\n"
        "    <title>Subscriptions in Vantrel</title>\n"
        "  </head>\n"
        "  <body>\n"
        "    <outline type=\"rss\" text=\"Tom &amp; &quot;Jerry&quot; &lt;news&gt;\" "
        "title=\"Tom &amp; &quot;Jerry&quot; &lt;news&gt;\" xmlUrl=\"http://a.example/rss?x=1&amp;y=2\"/>\n"
        "    <outline type=\"rss\" text=\"No address\" title=\"No address\"/>\n"
        "    <outline type=\"rss\" text=\"\" title=\"\" xmlUrl=\"https://b.example/feed\"/>\n"
        "  </body>\n"
        "</opml>\n");
}

TEST(OpmlWriterTest, anEmptyListHasAnEmptyBody)
{
    const QByteArray document = OpmlWriter::document({});
    EXPECT_TRUE(document.contains("  <body/>\n")) << document.constData();
    EXPECT_TRUE(OpmlReader::read(document).ok());
}

TEST(OpmlWriterTest, whatItWritesReadsBackUnchanged)
{
    const TempHome home;
    const QList<OpmlFeed> feeds{{u"http://a.example/rss"_s, u"Ünïcödé — news"_s},
                                {u"feed://b.example/x"_s, u"B"_s}};
    const QString path = QDir(home.path()).filePath(u"subscriptions.xml"_s);
    ASSERT_TRUE(OpmlWriter::writeFile(feeds, path).isNull());
    const OpmlReadResult read = OpmlReader::readFile(path);
    ASSERT_TRUE(read.ok()) << read.errorString.toStdString();
    EXPECT_EQ(read.feeds, feeds);

    const QString error = OpmlWriter::writeFile(feeds, u"/nonexistent/folder/subscriptions.xml"_s);
    EXPECT_TRUE(error.startsWith(u"Cannot write /nonexistent/folder/subscriptions.xml"_s))
        << error.toStdString();
}
