#include "support/encoding/base64.h"
#include "support/encoding/urlencode.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(URLEncodeTest, escapesEverythingButTheUnreservedCharacters)
{
    EXPECT_EQ(urlEncode(u"AZaz09-_.~"_s), u"AZaz09-_.~"_s);
    EXPECT_EQ(urlEncode(u"!*'();:@&=+$,/?%#[]"_s),
              u"%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D"_s);
    EXPECT_EQ(urlEncode(u"Hello World"_s), u"Hello%20World"_s);
    EXPECT_EQ(urlEncode(u"caf\u00e9 \u20ac"_s), u"caf%C3%A9%20%E2%82%AC"_s);
    EXPECT_EQ(urlEncode(QString()), QString());
}

TEST(Base64Test, encodesTheStandardAlphabetWithPadding)
{
    EXPECT_EQ(Base64::base64EncodedString("abc"), u"YWJj"_s);
    EXPECT_EQ(Base64::base64EncodedString("ab"), u"YWI="_s);
    EXPECT_EQ(Base64::base64EncodedString("a"), u"YQ=="_s);
    EXPECT_EQ(Base64::base64EncodedString(QByteArray()), QString());
    EXPECT_EQ(Base64::base64EncodedString(QByteArray("\xfb\xff\xbf", 3)), u"+/+/"_s);
    // A 20-byte digest fits one line.
    EXPECT_EQ(Base64::base64EncodedString(QByteArray(20, 'x')).size(), 28);
}

TEST(Base64Test, breaksLinesAfterSixtyFourCharacters)
{
    const QByteArray data(100, '\x5a');
    const QString lines = Base64::base64EncodedString(data);
    const QStringList parts = lines.split(u"\r\n"_s);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].size(), 64);
    EXPECT_EQ(parts[1].size(), 64);
    EXPECT_EQ(parts[2], QString::fromLatin1(data.toBase64().mid(128)));
    EXPECT_EQ(Base64::base64EncodedString(data, false), QString::fromLatin1(data.toBase64()));
    EXPECT_FALSE(Base64::base64EncodedString(QByteArray(48, 'a')).contains(u'\n'));
}

TEST(Base64Test, decodesIgnoringCharactersOutsideTheAlphabet)
{
    EXPECT_EQ(Base64::dataFromBase64String(u"YWJj\r\n"_s), "abc");
    EXPECT_EQ(Base64::dataFromBase64String(u"Y W\tJ*j"_s), "abc");
    EXPECT_EQ(Base64::dataFromBase64String(u"YQ=="_s), "a");
    EXPECT_EQ(Base64::dataFromBase64String(u"YWI="_s), "ab");
    // Short groups without padding: two characters give one byte, three give two, one gives nothing.
    EXPECT_EQ(Base64::dataFromBase64String(u"YWJjYQ"_s), "abca");
    EXPECT_EQ(Base64::dataFromBase64String(u"YWJjYWI"_s), "abcab");
    EXPECT_EQ(Base64::dataFromBase64String(u"YWJjY"_s), "abc");
    EXPECT_EQ(Base64::dataFromBase64String(u"YWJj===\r\n"_s), "abc");
    EXPECT_EQ(Base64::dataFromBase64String(u"\u00e9\u20ac"_s), QByteArray());
}

TEST(Base64Test, roundTripsRandomData)
{
    QRandomGenerator random(20261206);
    for (int length = 0; length < 300; ++length) {
        QByteArray data(length, Qt::Uninitialized);
        for (char &byte : data)
            byte = static_cast<char>(random.bounded(256));
        QString encoded = Base64::base64EncodedString(data);
        ASSERT_EQ(Base64::dataFromBase64String(encoded), data) << "length " << length;
        ASSERT_EQ(encoded.remove(u"\r\n"_s), QString::fromLatin1(data.toBase64())) << "length " << length;
    }
}
