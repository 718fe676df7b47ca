#include "rowfixture.h"

#include "ticker/rows/readstatewatcher.h"
#include "ticker/rows/rowtextfield.h"
#include "ticker/rows/sourceline.h"
#include "ui/drawing/coloradditions.h"

#include <QAccessible>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

// U+202F, which the locale's short time puts before "AM"/"PM".
const QString narrowSpace = QString(QChar(0x202f));

using SourceLineTest = RowFixture;

TEST_F(SourceLineTest, todayShowsTheTimeAndEarlierDaysTheDateEachFollowedByTheFeedsName)
{
    const auto feed = addFeed(u"City Desk"_s);
    EXPECT_EQ(SourceLine::text(*entry(feed, u"a"_s, berlin(2024, 1, 5, 9, 7)), clock),
              u"9:07"_s + narrowSpace + u"AM City Desk"_s);
    EXPECT_EQ(SourceLine::text(*entry(feed, u"b"_s, berlin(2024, 1, 5, 0, 0)), clock),
              u"12:00"_s + narrowSpace + u"AM City Desk"_s);
    EXPECT_EQ(SourceLine::text(*entry(feed, u"c"_s, berlin(2024, 1, 4, 23, 59)), clock),
              u"Jan 4, 2024 City Desk"_s);
    // Tomorrow is not today either.
    EXPECT_EQ(SourceLine::text(*entry(feed, u"d"_s, berlin(2024, 1, 6, 0, 1)), clock),
              u"Jan 6, 2024 City Desk"_s);
}

TEST_F(SourceLineTest, theDayEndsAtMidnightOfTheProcesssTimeZone)
{
    const auto feed = addFeed(u"City Desk"_s);
    // 23:30 UTC on the 4th is already the 5th in Berlin, where the clock stands.
    const QDateTime lateUtc(QDate(2024, 1, 4), QTime(23, 30), Qt::UTC);
    EXPECT_EQ(SourceLine::dateText(*entry(feed, u"a"_s, lateUtc), clock), u"12:30"_s + narrowSpace + u"AM"_s);
    qputenv("TZ", "America/New_York");
    // In New York it is 7 in the morning of the 5th, and 23:30 UTC of the 4th was still the 4th.
    EXPECT_EQ(SourceLine::dateText(*entry(feed, u"b"_s, lateUtc), clock), u"Jan 4, 2024"_s);
}

TEST_F(SourceLineTest, theNameIsTheCustomNameElseTheFeedsNameElseTheEntrysOwn)
{
    const auto feed = addFeed(u"city-desk-rss"_s, {{u"customName"_s, u"City"_s}});
    const DataItemPtr item = entry(feed, u"a"_s);
    EXPECT_EQ(SourceLine::feedName(*item), u"City"_s);
    feed->setCustomName(QString());
    EXPECT_EQ(SourceLine::feedName(*item), u"city-desk-rss"_s);

    const DataItemPtr orphan = entry(nullptr, u"b"_s, berlin(2024, 1, 3, 8, 0));
    orphan->setObject(u"Stored Name"_s, ItemKey::name);
    EXPECT_EQ(SourceLine::text(*orphan, clock), u"Jan 3, 2024 Stored Name"_s);
    orphan->setObject(QVariant(), ItemKey::name);
    EXPECT_EQ(SourceLine::text(*orphan, clock), u"Jan 3, 2024"_s);
    orphan->setObject(u"Stored Name"_s, ItemKey::name);
    orphan->setObject(QVariant(), ItemKey::parsedDate);
    EXPECT_EQ(SourceLine::text(*orphan, clock), u"Stored Name"_s);
}

TEST_F(SourceLineTest, aRowRefreshesItsLineWhenTheFeedIsRenamedAndWhenAskedAfterMidnight)
{
    const auto feed = addFeed(u"City Desk"_s);
    DataItemView *view = row(entry(feed, u"a"_s, berlin(2024, 1, 5, 9, 7)));
    EXPECT_EQ(view->sourceTextField()->text(), u"9:07"_s + narrowSpace + u"AM City Desk"_s);
    feed->setCustomName(u"Harbour"_s);
    deliverNotifications();
    EXPECT_EQ(view->sourceTextField()->text(), u"9:07"_s + narrowSpace + u"AM Harbour"_s);
    clock.setNow(berlin(2024, 1, 6, 0, 5));
    view->refresh();
    EXPECT_EQ(view->sourceTextField()->text(), u"Jan 5, 2024 Harbour"_s);
}

class RowTextsTest : public RowFixture {
protected:
    std::shared_ptr<TestSource> feed = addFeed(u"City Desk"_s);
};

TEST_F(RowTextsTest, theTitleShowsDecodedAndTrimmedAndALongOneEndsInAnEllipsis)
{
    DataItemView *view = row(entry(feed, u"\n  Tom &amp; Jerry&#39;s &lt;b&gt;day&#x21;  \n\t"_s));
    EXPECT_EQ(view->titleTextField()->text(), u"Tom & Jerry's <b>day!"_s);
    EXPECT_EQ(view->titleTextField()->visibleLines(), QStringList{u"Tom & Jerry's <b>day!"_s});

    const QString longTitle = u"One two three four five six seven eight nine ten eleven twelve thirteen"_s;
    view->setDataItem(entry(feed, longTitle));
    const QStringList lines = view->titleTextField()->visibleLines();
    ASSERT_EQ(lines.size(), 2);
    ASSERT_TRUE(lines.at(1).endsWith(QChar(0x2026))) << lines.at(1).toStdString();
    const QString shown = lines.at(0) + u' ' + lines.at(1).chopped(1);
    EXPECT_TRUE(longTitle.startsWith(shown)) << shown.toStdString();
    EXPECT_GT(shown.size(), 20);
}

TEST_F(RowTextsTest, aReadEntryIsDimmedAndMarkingItUnreadElsewhereBringsItBack)
{
    const DataItemPtr item = entry(feed, u"Harbour news"_s);
    item->setRead(true);
    DataItemView *view = row(item);
    EXPECT_EQ(view->titleTextField()->alphaValue(), DataItemView::readAlpha);
    EXPECT_EQ(view->sourceTextField()->alphaValue(), DataItemView::readAlpha);

    // The model changes the flag without telling; the row notices at the bar's next tick and fades.
    const auto fadedTo = [&](qreal alpha) {
        ReadStateWatcher::shared().check();
        return QTest::qWaitFor([&] {
            animations.advanceBy(50);
            return view->titleTextField()->alphaValue() == alpha;
        });
    };
    item->setRead(false);
    EXPECT_TRUE(fadedTo(1.0));
    EXPECT_EQ(view->sourceTextField()->alphaValue(), 1.0);

    item->setRead(true);
    EXPECT_TRUE(fadedTo(DataItemView::readAlpha));
    // The dimming shows: the title's white is at 60 % over the same background.
    const QImage image = grabbed(*view);
    int brightest = 0;
    for (int x = 80; x < 280; ++x)
        for (int y = 4; y < 40; ++y)
            brightest = std::max(brightest, qRed(image.pixel(x, y)));
    EXPECT_LT(brightest, 235);
}

TEST_F(RowTextsTest, reusingARowForAnotherEntryShowsItsTextsAndReadStateAtOnce)
{
    const DataItemPtr read = entry(feed, u"Old"_s);
    read->setRead(true);
    DataItemView *view = row(entry(feed, u"New"_s));
    view->setDataItem(read);
    EXPECT_EQ(view->titleTextField()->text(), u"Old"_s);
    EXPECT_EQ(view->titleTextField()->alphaValue(), DataItemView::readAlpha);
    view->setDataItem(entry(feed, u"Newer"_s));
    EXPECT_EQ(view->titleTextField()->alphaValue(), 1.0);
}

TEST_F(RowTextsTest, markColoursComeBeforeTheFeedsAndTheFeedsBeforeTheGeneralOnes)
{
    const auto tinted = addFeed(u"Tinted"_s, {{u"fontColor"_s, QColor(0, 200, 0)}});
    DataItemView *general = row(entry(feed, u"plain"_s), 1);
    DataItemView *own = row(entry(tinted, u"tinted"_s), 2);
    const DataItemPtr stormy = entry(tinted, u"storm"_s);
    stormy->setObject(true, ItemKey::mark);
    DataItemView *marked = row(stormy, 3);

    EXPECT_EQ(general->titleTextField()->textColor(), QColor(Qt::white));
    EXPECT_EQ(own->titleTextField()->textColor(), QColor(0, 200, 0));
    const QColor orange = QColor::fromRgbF(1.0f, 0.8f, 0.4f);
    EXPECT_EQ(marked->titleTextField()->textColor().rgb(), orange.rgb());
    // The source line is the same colour, darker.
    EXPECT_EQ(marked->sourceTextField()->textColor().rgb(),
              ColorAdditions::darkerWithLevel(orange, 0.3).rgb());

    defaults.setObject(QColor(200, 200, 255), SettingsKey::fontColor);
    EXPECT_EQ(general->titleTextField()->textColor(), QColor(200, 200, 255));
    EXPECT_EQ(own->titleTextField()->textColor(), QColor(0, 200, 0));
    EXPECT_EQ(marked->titleTextField()->textColor().rgb(), orange.rgb());
}

TEST_F(RowTextsTest, theRowsBackgroundIsTheMarksTheFeedsOrNoneAtTheOpacity)
{
    defaults.setObject(1.0, SettingsKey::opacity);
    const auto tinted = addFeed(u"Tinted"_s, {{u"backgroundColor"_s, QColor(0, 0, 200)}});
    DataItemView *own = row(entry(tinted, u"tinted"_s), 1);
    const DataItemPtr stormy = entry(tinted, u"storm"_s);
    stormy->setObject(true, ItemKey::mark);
    DataItemView *marked = row(stormy, 2);
    const DataItemPtr orphan = entry(nullptr, u"gone"_s);
    DataItemView *sourceless = row(orphan, 3);

    EXPECT_EQ(colorAt(grabbed(*own), {150, 30}), QColor(0, 0, 200));
    // A feed without its own colour takes the general one, as it is now.
    DataItemView *plain = row(entry(feed, u"plain"_s), 4);
    EXPECT_EQ(colorAt(grabbed(*plain), {150, 30}), QColor(0, 0, 0));
    defaults.setObject(QColor(0, 90, 0), SettingsKey::backgroundColor);
    EXPECT_EQ(colorAt(grabbed(*plain), {150, 30}), QColor(0, 90, 0));
    // No mark colour set: the marked row draws none.
    EXPECT_EQ(colorAt(grabbed(*marked), {150, 30}).alpha(), 0);
    defaults.setObject(QColor(200, 0, 0), SettingsKey::markBackgroundColor);
    EXPECT_EQ(colorAt(grabbed(*marked), {150, 30}), QColor(200, 0, 0));
    defaults.setObject(0.5, SettingsKey::opacity);
    EXPECT_NEAR(colorAt(grabbed(*own), {150, 30}).alphaF(), 0.5, 0.01);
    // A row without a colour has only its separator along the bottom.
    const QImage bare = grabbed(*sourceless);
    EXPECT_EQ(colorAt(bare, {150, 30}).alpha(), 0);
    EXPECT_NEAR(colorAt(bare, {150, rowHeight - 1}).alphaF(), 0.4, 0.01);
    EXPECT_EQ(colorAt(bare, {150, rowHeight - 2}).alpha(), 0);
}

TEST_F(RowTextsTest, theLayoutLeavesRoomForTheIconAndFollowsTheIconAndFontSettings)
{
    DataItemView *view = row(entry(feed, u"Harbour"_s));
    const int srcH = view->sourceTextField()->height();
    // Large icon: 65 wide from x 4; both texts start after it.
    EXPECT_EQ(view->imageRect(), QRect(4, 4, 65, rowHeight - 8));
    EXPECT_EQ(view->titleTextField()->geometry(),
              QRect(4 + 69, 7, rowWidth - (8 + 69), rowHeight - (srcH + 14)));
    EXPECT_EQ(view->sourceTextField()->geometry(),
              QRect(4 + 69, rowHeight - 7 - srcH, rowWidth - (69 + 8), srcH));

    defaults.setObject(true, SettingsKey::smallImage);
    EXPECT_EQ(view->imageRect(), QRect(5, 7, srcH, srcH));
    EXPECT_EQ(view->titleTextField()->geometry().x(), 4);
    EXPECT_EQ(view->sourceTextField()->geometry().x(), 4 + srcH + 2);

    defaults.setObject(false, SettingsKey::displayImage);
    EXPECT_EQ(view->titleTextField()->geometry().x(), 4);
    EXPECT_EQ(view->sourceTextField()->geometry().x(), 4);

    defaults.setObject(20, SettingsKey::fontSize);
    EXPECT_GT(view->sourceTextField()->height(), srcH);
    EXPECT_EQ(view->titleTextField()->font().pointSizeF(), 20.0);
    EXPECT_EQ(view->sourceTextField()->font().pointSizeF(), 18.0);
}

TEST_F(RowTextsTest, theMarkColourTheFontNameAndTheIconWidthAreFollowedLive)
{
    const DataItemPtr stormy = entry(feed, u"storm"_s);
    stormy->setObject(true, ItemKey::mark);
    DataItemView *marked = row(stormy, 1);
    DataItemView *plain = row(entry(feed, u"calm"_s), 2);

    defaults.setObject(QColor(10, 200, 250), SettingsKey::markFontColor);
    EXPECT_EQ(marked->titleTextField()->textColor().rgb(), QColor(10, 200, 250).rgb());
    EXPECT_EQ(plain->titleTextField()->textColor(), QColor(Qt::white));

    defaults.setObject(u"DejaVu Serif"_s, SettingsKey::fontName);
    EXPECT_EQ(plain->titleTextField()->font().family(), u"DejaVu Serif"_s);
    EXPECT_EQ(plain->sourceTextField()->font().family(), u"DejaVu Serif"_s);

    defaults.setObject(40, SettingsKey::imageWidth);
    EXPECT_EQ(plain->imageRect().width(), 40);
    EXPECT_EQ(plain->titleTextField()->geometry().x(), 4 + 44);
}

TEST_F(RowTextsTest, assistiveTechnologyReadsTheHeadlineFeedTimeAndStates)
{
    const DataItemPtr item = entry(feed, u"Storm  warning"_s, berlin(2024, 1, 5, 9, 7));
    item->setObject(true, ItemKey::mark);
    DataItemView *view = row(item);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::ListItem);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Storm  warning"_s);
    EXPECT_EQ(accessible->text(QAccessible::Description),
              u"9:07"_s + narrowSpace + u"AM City Desk, keyword match"_s);
    EXPECT_FALSE(accessible->state().traversed);

    item->setRead(true);
    EXPECT_EQ(accessible->text(QAccessible::Description),
              u"9:07"_s + narrowSpace + u"AM City Desk, keyword match, read"_s);
    EXPECT_TRUE(accessible->state().traversed);
}

} // namespace
