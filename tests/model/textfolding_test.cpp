#include "common/qtprinters.h"
#include "model/entry/textfolding.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

TEST(TextFoldingTest, ignoresCaseAndDiacritics)
{
    EXPECT_EQ(TextFolding::fold(u"Café Crème"_s), u"cafe creme"_s);
    EXPECT_EQ(TextFolding::fold(u"CAFE\u0301"_s), u"cafe"_s); // combining accent
    EXPECT_EQ(TextFolding::fold(u"Ærø ÅNGSTRÖM"_s), u"ærø angstrom"_s);
    EXPECT_EQ(TextFolding::fold(u"STRASSE"_s), TextFolding::fold(u"Straße"_s));
    EXPECT_EQ(TextFolding::fold(u"ΣΟΦΊΑ"_s), TextFolding::fold(u"σοφια"_s));
    EXPECT_EQ(TextFolding::fold(u"emoji \U0001F600 stays"_s), u"emoji \U0001F600 stays"_s);
}

TEST(TextFoldingTest, anEmptyNeedleNeverMatches)
{
    EXPECT_TRUE(TextFolding::containsFolded(TextFolding::fold(u"Breaking News today"_s),
                                            TextFolding::fold(u"NEWS"_s)));
    EXPECT_FALSE(TextFolding::containsFolded(u"anything"_s, QString()));
}

TEST(TextFoldingTest, expandsAndKeepsCharactersAsFullCaseFoldingDoes)
{
    EXPECT_EQ(TextFolding::fold(u"\uFB01NE Caf\u00C9"_s), u"fine cafe"_s); // ligature, precomposed capital
    EXPECT_EQ(TextFolding::fold(u"\u0130STANBUL"_s), u"istanbul"_s); // decomposed first: the dot is a mark
    EXPECT_EQ(TextFolding::fold(u"\u03A3\u0391\u03A3"_s), TextFolding::fold(u"\u03C3\u03B1\u03C2"_s));
    EXPECT_EQ(TextFolding::fold(u"\u2019rise\u2019 \u20AC5"_s), u"\u2019rise\u2019 \u20AC5"_s);
    EXPECT_EQ(TextFolding::fold(u"\U0001041CX"_s), u"\U00010444x"_s); // Deseret capital outside the BMP
}

TEST(TextFoldingTest, foldsTwoTextsJoinedAsEachAlone)
{
    const QString title = u"Caf\u00E9 STRA\u00DFE \U0001041C and a long ASCII Tail Of Words"_s;
    const QString description = u"\u2019Quoted\u2019 \u00C5ngstr\u00F6m: MIXED case"_s;
    EXPECT_EQ(QString::fromUtf8(TextFolding::foldJoined(title, QChar(u'|'), description)),
              TextFolding::fold(title) + u'|' + TextFolding::fold(description));
    EXPECT_EQ(TextFolding::foldJoined(QString(), QChar(u'|'), u"ABC"_s), "|abc");
}

// Written as Qt's UTF-8 encoder writes the folded texts: unpaired surrogates as U+FFFD.
TEST(TextFoldingTest, joinedTextIsTheUtf8OfTheFoldedTexts)
{
    const QString cases[] = {u"Caf\u00C9 \U0001041C"_s, QString::fromUtf16(u"lone \xD800 lead"),
                             QString::fromUtf16(u"trail \xDC00"), QString::fromUtf16(u"ends in \xD83D"),
                             u"\uFB01 ASCII BEFORE \u00DF AND AFTER THE FOLD"_s};
    for (const QString &text : cases) {
        QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
        EXPECT_EQ(TextFolding::foldJoined(text, QChar(u'\uffff'), text),
                  QByteArray(utf8(TextFolding::fold(text) + QChar(u'\uffff') + TextFolding::fold(text))))
            << text.toStdString();
    }
}

TEST(TextFoldingTest, utf8TextsMatchWholeCharacters)
{
    const QByteArray text = TextFolding::foldJoined(u"CafÉ ’rise’"_s, QChar(u'￿'), u"Ende"_s);
    EXPECT_TRUE(TextFolding::containsFolded(text, TextFolding::fold(u"CAFE ’RISE"_s).toUtf8()));
    EXPECT_FALSE(TextFolding::containsFolded(text, TextFolding::fold(u"rise’Ende"_s).toUtf8()));
    EXPECT_FALSE(TextFolding::containsFolded(text, QByteArray()));
}

namespace {

QString randomText(std::mt19937 &random, const QString &alphabet, qsizetype length)
{
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text += alphabet[qsizetype(random() % quint32(alphabet.size()))];
    return text;
}

} // namespace

// Letters next to the capitals' range and a character beyond ASCII, anywhere in texts of any length.
TEST(TextFoldingTest, lowersExactlyTheCapitals)
{
    std::mt19937 random(11);
    const QString alphabet = u"@AMZ[`amz{\u007f0 \u00e9"_s;
    for (int round = 0; round < 2000; ++round) {
        const QString text = randomText(random, alphabet, qsizetype(random() % 40));
        const QString expected = QString(text).toLower().replace(u'\u00e9', u'e');
        ASSERT_EQ(TextFolding::fold(text), expected) << text.toStdString();
        ASSERT_EQ(QString::fromUtf8(TextFolding::foldJoined(text, QChar(u'|'), text)),
                  expected + u'|' + expected)
            << text.toStdString();
    }
}

// The search agrees with a plain one wherever the needle falls: at either end, across blocks of the
// text, in UTF-16 and in UTF-8.
TEST(TextFoldingTest, findsANeedleWhereverItFalls)
{
    std::mt19937 random(7);
    const QString alphabet = u"ab \u00e9"_s;
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random, alphabet, qsizetype(random() % 60));
        const QString needle = randomText(random, alphabet, 1 + qsizetype(random() % 6));
        ASSERT_EQ(TextFolding::containsFolded(text, needle), text.contains(needle))
            << text.toStdString() << " / " << needle.toStdString();
        ASSERT_EQ(TextFolding::containsFolded(text.toUtf8(), needle.toUtf8()), text.contains(needle))
            << text.toStdString() << " / " << needle.toStdString();
    }
}
