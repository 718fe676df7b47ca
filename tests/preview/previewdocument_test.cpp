#include "preview/previewdocument.h"

#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "model/refreshenvironment.h"
#include "model/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/userdefaults.h"

#include "common/temphome.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class Quiet final : public RefreshEnvironment {
public:
    int numberOfSources() const override { return 1; }
    bool internetAvailable() const override { return false; }
};

// Entries of an ordinary feed and of a Twitter timeline.
class PreviewDocumentTest : public ::testing::Test {
protected:
    DataItemPtr entry(const QString &title, const QString &content,
                      const std::shared_ptr<RSSDatasource> &source = {})
    {
        auto item = std::make_shared<DataItem>();
        if (!title.isNull())
            item->setObject(title, ItemKey::title);
        if (!content.isNull())
            item->setObject(content, ItemKey::contentEncoded);
        if (source)
            item->setDatasource(source.get());
        return item;
    }

    std::shared_ptr<RSSDatasource> source(const QString &url)
    {
        return RSSDatasource::create(QVariantMap{{u"uuid"_s, url}, {u"url"_s, url}, {u"enabled"_s, true}},
                                     defaults, clock, environment);
    }

    TempHome home;
    UserDefaults defaults{home.configHome() + u"/vantrel"_s};
    ManualClock clock;
    Quiet environment;
};

const QString documentEnd = u"     </body>     </html>     "_s;

} // namespace

TEST_F(PreviewDocumentTest, theTitleBecomesAHeadingAboveTheContent)
{
    const auto item =
        entry(u"Storm <i>warning</i> &amp; more"_s, u"<p>Rain at <a href=\"https://x.org/\">noon</a>.</p>"_s);
    EXPECT_EQ(PreviewDocument::htmlContentWithScroller(*item, false),
              u"<html><head><style>h1 { font-size: 108%; font-weight: bold; text-align: justified; }</style>"
              u"<h1 id='title'>Storm <i>warning</i> &amp; more</h1>"
              u"<p>Rain at <a href=\"https://x.org/\">noon</a>.</p>"_s +
                  documentEnd);

    EXPECT_EQ(PreviewDocument::htmlContentWithScroller(*entry({}, {}), false),
              u"<html><head><style>h1 { font-size: 108%; font-weight: bold; text-align: justified; }</style>"
              u"<h1 id='title'></h1>"_s +
                  documentEnd);
}

TEST_F(PreviewDocumentTest, contentThatScrollsGetsTheScrollBarStylesInItsHead)
{
    const auto item = entry(u"Title"_s, u"<p>Text</p>"_s);
    const QString expected =
        uR"(<html><head>         <style scoped contenteditable>         html {overflow: auto;}         body {position: absolute;top: 0px;left: 0px;bottom: 0px;right: 0px;padding: 4px; overflow-y: auto;overflow-x: auto;}                                ::-webkit-scrollbar {width: 6px;height: 8px;}                                ::-webkit-scrollbar-track {-webkit-box-shadow: inset 0 0 0px rgba(0,0,0,0.2);border-radius: 5px;}                                ::-webkit-scrollbar-thumb {border-radius: 4px;-webkit-box-shadow: inset 0 0 6px rgba(0,0,0,0.5);}         </style>         </head>         <style>h1 { font-size: 108%; font-weight: bold; text-align: justified; }</style><h1 id='title'>Title</h1><p>Text</p>     </body>     </html>     )"_s;
    EXPECT_EQ(PreviewDocument::htmlContentWithScroller(*item, true), expected);
}

TEST_F(PreviewDocumentTest, aTwitterTitleLinksItsWebAddressesAndShowsNoContent)
{
    const auto timeline = source(RSSDatasource::twitterTimelinePrefix + u"someone.rss"_s);
    ASSERT_TRUE(timeline->isTwitter());
    const auto tweet =
        entry(u"read HTTP://t.co/AbC1 and https://example.org/a?b=1&c=2, or ftp://no.example"_s,
              u"<p>the same again</p>"_s, timeline);
    const QString html = PreviewDocument::htmlContentWithScroller(*tweet, false);
    EXPECT_TRUE(html.contains(u"<h1 id='title'>read <a href=\"HTTP://t.co/AbC1\">HTTP://t.co/AbC1</a> and "
                              u"<a href=\"https://example.org/a?b=1&c=2\">https://example.org/a?b=1&c=2</a>, "
                              u"or ftp://no.example</h1>"_s))
        << qPrintable(html);
    EXPECT_TRUE(html.endsWith(u"</h1>"_s + documentEnd));

    const auto feed = source(u"https://example.org/feed"_s);
    const auto story = entry(u"read https://example.org/a"_s, u"<p>more</p>"_s, feed);
    EXPECT_TRUE(PreviewDocument::htmlContentWithScroller(*story, false)
                    .contains(u"<h1 id='title'>read https://example.org/a</h1><p>more</p>"_s));
}

TEST_F(PreviewDocumentTest, scriptsAndStylesOfTheEntryAreDroppedTheDocumentsOwnStyleStays)
{
    const auto item = entry(u"Hi<style>h1{color:red}</style>"_s,
                            u"<p>a<script>alert(1)</script>b</p><STYLE>p{display:none}</STYLE>"_s);
    const QString html = PreviewDocument::htmlContentWithScroller(*item, false);
    EXPECT_TRUE(html.contains(u"<h1 id='title'>Hi</h1><p>ab</p>"_s + documentEnd)) << qPrintable(html);
    EXPECT_TRUE(html.startsWith(u"<html><head><style>h1 { font-size: 108%"_s));
}
