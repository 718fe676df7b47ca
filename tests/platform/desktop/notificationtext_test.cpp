#include "platform/desktop/notificationtext.h"

#include "common/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NotificationTextTest, feedTextNeverBecomesMarkup)
{
    EXPECT_EQ(NotificationText::title(u"<b>Bold</b> & <a href=\"x\">link</a>"_s),
              u"&lt;b&gt;Bold&lt;/b&gt; &amp; &lt;a href=\"x\"&gt;link&lt;/a&gt;"_s);
    EXPECT_EQ(NotificationText::body(u"AT&amp;T <img src=x>"_s), u"AT&amp;amp;T &lt;img src=x&gt;"_s);
}

TEST(NotificationTextTest, controlCharactersGoAndWhiteSpaceFolds)
{
    EXPECT_EQ(NotificationText::title(u"  Storm\nwarning\t\u0000now\u007f\u0085  "_s),
              u"Storm warning now"_s);
    EXPECT_EQ(NotificationText::body(u"Line one\r\n\r\n  Line   two \u0001\n\nmatched: storm"_s),
              u"Line one\nLine two\nmatched: storm"_s);
}

TEST(NotificationTextTest, longTextIsCutWithAnEllipsisBeforeEscaping)
{
    const QString title = NotificationText::title(QString(10000, u'&'));
    EXPECT_TRUE(title.endsWith(u"&amp;\u2026"_s));
    EXPECT_EQ(title.count(u"&amp;"_s), NotificationText::maximumTitleLength - 1);

    const QString body = NotificationText::body(QString(10000, u'x'));
    EXPECT_EQ(body.size(), NotificationText::maximumBodyLength);

    // A character outside the BMP is never split into half a surrogate pair.
    QString emoji;
    for (int i = 0; i < 300; ++i)
        emoji += u"\U0001F4F0"_s;
    const QString cut = NotificationText::body(emoji);
    EXPECT_TRUE(cut.endsWith(u"\U0001F4F0\u2026"_s));
    EXPECT_FALSE(cut.toUtf8().contains("\xef\xbf\xbd"));
    EXPECT_EQ(QString::fromUtf8(cut.toUtf8()), cut);
}
