#include "model/parse/feeddecoder.h"

#include <QString>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Decodes the input cut at every single position in turn; all must agree with the whole.
QString decodeEveryWay(const QByteArray &input, const QByteArray &httpCharset = {})
{
    QByteArray buffer;
    QByteArray whole;
    {
        FeedDecoder decoder;
        decoder.setHttpCharset(httpCharset);
        whole += decoder.decode(input, buffer);
        whole += decoder.finish(buffer);
    }
    for (qsizetype cut = 0; cut <= input.size(); ++cut) {
        FeedDecoder decoder;
        decoder.setHttpCharset(httpCharset);
        QByteArray split;
        split += decoder.decode(QByteArrayView(input).first(cut), buffer);
        split += decoder.decode(QByteArrayView(input).sliced(cut), buffer);
        split += decoder.finish(buffer);
        EXPECT_EQ(split, whole) << "cut at " << cut;
    }
    return QString::fromUtf8(whole);
}

} // namespace

TEST(FeedDecoderTest, utf8SequencesSurviveAnyCut)
{
    EXPECT_EQ(decodeEveryWay("<a>\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80</a>"),
              u"<a>\u00E9\u20AC\U0001F600</a>"_s);
    // Each byte of an overlong form or a surrogate becomes U+FFFD; a truncated sequence becomes one.
    EXPECT_EQ(decodeEveryWay("<a>\xC0\xAF\xED\xA0\x80\xE2\x82</a>"),
              u"<a>\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD</a>"_s);
    EXPECT_EQ(decodeEveryWay("<a>x\xF0\x9F"), u"<a>x\uFFFD"_s);
}

TEST(FeedDecoderTest, declarationIsFoundAcrossCuts)
{
    const QByteArray latin = "<?xml version=\"1.0\" encoding='iso-8859-1' ?><a>\xE9\x92</a>";
    EXPECT_EQ(decodeEveryWay(latin), u"<?xml version=\"1.0\" encoding='iso-8859-1' ?><a>\u00E9\u2019</a>"_s);
    EXPECT_EQ(decodeEveryWay("\xFE\xFF\0<\0a\0>\0\xE9\0<\0/\0a\0>"_ba), u"<a>\u00E9</a>"_s);
    EXPECT_EQ(decodeEveryWay("<\0a\0>\0\xE9\0"_ba), u"<a>\u00E9"_s); // UTF-16LE without a mark
    EXPECT_EQ(decodeEveryWay("<a>\x82\xA0</a>", "Shift_JIS"), u"<a>\u3042</a>"_s);
}

TEST(FeedDecoderTest, charsetFromContentType)
{
    EXPECT_EQ(FeedDecoder::charsetFromContentType("application/rss+xml; charset=\"ISO-8859-1\""),
              "iso-8859-1");
    EXPECT_EQ(FeedDecoder::charsetFromContentType("text/xml;Charset=utf-8; q=1"), "utf-8");
    EXPECT_EQ(FeedDecoder::charsetFromContentType("text/xml"), "");
}

TEST(FeedDecoderTest, textOfStrayBytesGrowsThreefoldIntoReplacements)
{
    const QByteArray stray(300, '\x80');
    EXPECT_EQ(decodeEveryWay("<a>" + stray + "</a>"), u"<a>"_s + QString(300, QChar(0xFFFD)) + u"</a>"_s);
    // Control characters XML forbids are dropped between short runs of text.
    EXPECT_EQ(decodeEveryWay("<a>one\x01two\nthree\x1F\xC3\xA9</a>"), u"<a>onetwo\nthree\u00E9</a>"_s);
}
