#include "rowfixture.h"

#include "ticker/rows/rowbutton.h"
#include "ticker/rows/rowtextfield.h"
#include "ui/animation/viewalpha.h"

#include <QMenu>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace {

class RowMouseTest : public RowFixture {
protected:
    RowMouseTest() { setRowCount(4); }

    // A point on the row's headline, away from the icon and the buttons.
    static QPoint onTheTitle() { return {150, 20}; }

    void click(DataItemView *view, const QPoint &at = onTheTitle())
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
    }

    // As the desktop delivers one: a press, then the second press as a double click.
    void doubleClick(DataItemView *view, const QPoint &at = onTheTitle())
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QTest::mouseDClick(view, Qt::LeftButton, {}, at);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at);
    }

    void hover(DataItemView *view, const QPoint &at = onTheTitle())
    {
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(view, &move);
    }

    void leave(DataItemView *view)
    {
        QEvent leaving(QEvent::Leave);
        QCoreApplication::sendEvent(view, &leaving);
    }

    std::shared_ptr<TestSource> feed = addFeed(u"City Desk"_s, {{u"backgroundColor"_s, QColor(0, 0, 160)}});
};

using RowClickTest = RowMouseTest;

TEST_F(RowClickTest, aClickOpensThePreviewBesideTheRowAndASecondClickClosesIt)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    click(view);
    EXPECT_EQ(preview.shown, item);
    EXPECT_EQ(preview.arrow, view->arrowLocation());
    EXPECT_EQ(preview.arrowOnLeft, view->isArrowOnLeft());
    EXPECT_TRUE(item->read());
    EXPECT_TRUE(opened.isEmpty());

    click(view);
    EXPECT_EQ(preview.shown, nullptr);
    EXPECT_EQ(preview.closes, 1);
    click(view);
    EXPECT_EQ(preview.shown, item);
}

TEST_F(RowClickTest, aClickOnAnotherRowMovesThePreviewThere)
{
    const DataItemPtr first = entry(feed, u"first"_s);
    const DataItemPtr second = entry(feed, u"second"_s);
    DataItemView *lower = row(first, 1);
    DataItemView *upper = row(second, 2);
    click(lower);
    click(upper);
    EXPECT_EQ(preview.shown, second);
    EXPECT_EQ(preview.arrow, upper->arrowLocation());
    EXPECT_EQ(preview.closes, 0);
}

TEST_F(RowClickTest, aDoubleClickOpensTheBrowserOnceClosesThePreviewAndDimsTheTexts)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    doubleClick(view);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), item.get());
    EXPECT_EQ(preview.shown, nullptr);
    EXPECT_TRUE(item->read());
    animations.advanceBy(1000);
    EXPECT_EQ(view->titleTextField()->alphaValue(), DataItemView::readAlpha);
}

TEST_F(RowClickTest, withoutThePreviewAClickOpensTheBrowserAndADoubleClickOnlyOnce)
{
    defaults.setObject(false, SettingsKey::enablePreview);
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    click(view);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(preview.shown, nullptr);
    EXPECT_TRUE(item->read());
    doubleClick(view);
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(RowClickTest, theRightmostTenPointsTakeNoClicks)
{
    defaults.setObject(false, SettingsKey::enablePreview);
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    for (int x : {rowWidth - 9, rowWidth - 1}) {
        click(view, {x, 20});
        doubleClick(view, {x, 20});
    }
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(item->read());
    click(view, {rowWidth - 10, 20});
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(RowClickTest, aRowScrolledOutOfSightOpensNoPreview)
{
    // The window shows the top 400 points of a list of 8 rows: the bottom row is out of sight.
    setRowCount(8);
    const DataItemPtr item = entry(feed, u"Hidden"_s);
    DataItemView *view = row(item, 1);
    ASSERT_TRUE(view->visibleRegion().isEmpty());
    click(view);
    EXPECT_EQ(preview.shown, nullptr);
    EXPECT_FALSE(item->read());
}

TEST_F(RowClickTest, theArrowPointsAtTheRowsMiddleOnTheEdgeFacingThePreview)
{
    DataItemView *view = row(entry(feed, u"Harbour"_s));
    const QPoint middleRight = view->mapToGlobal(QPoint(rowWidth, rowHeight / 2));
    const QPoint middleLeft = view->mapToGlobal(QPoint(0, rowHeight / 2));
    // The window stands at the screen's left: the preview opens to its right.
    EXPECT_TRUE(view->isArrowOnLeft());
    EXPECT_EQ(view->arrowLocation(), middleRight);
    // Docked on the right edge, the preview opens to the left.
    defaults.setObject(1, SettingsKey::location);
    EXPECT_FALSE(view->isArrowOnLeft());
    EXPECT_EQ(view->arrowLocation(), middleLeft);
}

using RowHoverTest = RowMouseTest;

TEST_F(RowHoverTest, hoveringARowEndsTheHoverStateOfTheRowHoveredBefore)
{
    DataItemView *lower = row(entry(feed, u"first"_s), 1);
    DataItemView *upper = row(entry(feed, u"second"_s), 2);
    const QColor resting = colorAt(grabbed(*lower), onTheTitle());
    hover(lower);
    EXPECT_TRUE(lower->isHighlighted());
    EXPECT_EQ(HoveredRow::current(), lower);
    EXPECT_NE(colorAt(grabbed(*lower), onTheTitle()), resting);

    hover(upper);
    EXPECT_TRUE(upper->isHighlighted());
    EXPECT_FALSE(lower->isHighlighted());
    EXPECT_EQ(colorAt(grabbed(*lower), onTheTitle()), resting);
    leave(upper);
    EXPECT_FALSE(upper->isHighlighted());
}

TEST_F(RowHoverTest, theBarsEdgeStripIsOutsideTheHoverArea)
{
    DataItemView *view = row(entry(feed, u"Harbour"_s));
    hover(view, {rowWidth - 2, 20});
    EXPECT_FALSE(view->isHighlighted());
    hover(view, {rowWidth - 4, 20});
    EXPECT_TRUE(view->isHighlighted());
    defaults.setObject(1, SettingsKey::location);
    hover(view, {1, 20});
    EXPECT_FALSE(view->isHighlighted());
}

TEST_F(RowHoverTest, aRowStaysStillWhileTheCursorIsHiddenForTheWidthDrag)
{
    DataItemView *view = row(entry(feed, u"Harbour"_s));
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    hover(view);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_FALSE(view->isHighlighted());
}

TEST_F(RowHoverTest, theStarAndShareButtonsFadeInOnHoverAndOutAfter)
{
    DataItemView *view = row(entry(feed, u"Harbour"_s));
    RowButton *star = view->starButton();
    RowButton *share = view->shareButton();
    ASSERT_NE(star, nullptr);
    ASSERT_NE(share, nullptr);
    EXPECT_TRUE(star->isHidden());
    EXPECT_TRUE(share->isHidden());
    const int sourceWidth = view->sourceTextField()->width();

    hover(view);
    animations.advanceBy(1000);
    EXPECT_TRUE(star->isEnabled() && share->isEnabled());
    EXPECT_EQ(ViewAlpha::of(star), 1.0);
    EXPECT_EQ(ViewAlpha::of(share), 1.0);
    // The source line makes room for them.
    EXPECT_LT(view->sourceTextField()->width(), sourceWidth);
    EXPECT_LT(view->sourceTextField()->geometry().right(), star->geometry().left());

    leave(view);
    animations.advanceBy(1000);
    EXPECT_TRUE(star->isHidden());
    EXPECT_TRUE(share->isHidden());
    EXPECT_EQ(view->sourceTextField()->width(), sourceWidth);
}

TEST_F(RowHoverTest, theShareButtonOpensTheShareEntriesBelowItOrBeepsWithNothingToShare)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    hover(view);
    animations.advanceBy(1000);
    QTest::mouseClick(view->shareButton(), Qt::LeftButton);
    ASSERT_EQ(shared.size(), 1);
    EXPECT_EQ(shared.first(), item);
    auto *menu = view->shareButton()->findChild<QMenu *>(u"shareMenu"_s);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 1);
    EXPECT_GE(menu->pos().y(), view->shareButton()->mapToGlobal(QPoint(0, 0)).y() + 16);
    menu->close();

    item->setObject(QString(), ItemKey::link);
    QTest::mouseClick(view->shareButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view->shareButton()->findChild<QMenu *>(u"shareMenu"_s), nullptr);
}

using RowStarTest = RowMouseTest;

TEST_F(RowStarTest, theStarTogglesTheEntryInTheStarStore)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    hover(view);
    animations.advanceBy(1000);
    QTest::mouseClick(view->starButton(), Qt::LeftButton);
    EXPECT_TRUE(stars.isStarred(*item));
    deliverNotifications();
    EXPECT_TRUE(view->starButton()->isChecked());

    // A starred entry keeps its star after the pointer leaves.
    leave(view);
    animations.advanceBy(1000);
    EXPECT_FALSE(view->starButton()->isHidden());
    EXPECT_EQ(ViewAlpha::of(view->starButton()), 1.0);

    QTest::mouseClick(view->starButton(), Qt::LeftButton);
    EXPECT_FALSE(stars.isStarred(*item));
    deliverNotifications();
    animations.advanceBy(1000);
    EXPECT_TRUE(view->starButton()->isHidden());
}

TEST_F(RowStarTest, everyRowOfTheEntryFollowsAStarSetElsewhere)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item, 1);
    DataItemView *other = row(entry(feed, u"Other"_s), 2);
    stars.starItem(item);
    deliverNotifications();
    animations.advanceBy(1000);
    EXPECT_TRUE(view->starButton()->isChecked());
    EXPECT_FALSE(view->starButton()->isHidden());
    EXPECT_FALSE(other->starButton()->isChecked());
    EXPECT_TRUE(other->starButton()->isHidden());

    // A row re-used for a starred entry shows the star at once.
    other->setDataItem(item);
    EXPECT_TRUE(other->starButton()->isChecked());

    stars.unstarItem(item);
    deliverNotifications();
    EXPECT_FALSE(view->starButton()->isChecked());
    EXPECT_FALSE(other->starButton()->isChecked());
}

TEST_F(RowStarTest, theStarIsDrawnFilledForAStarredEntry)
{
    const DataItemPtr item = entry(feed, u"Harbour"_s);
    DataItemView *view = row(item);
    stars.starItem(item);
    deliverNotifications();
    animations.advanceBy(1000);
    const QRect star = view->starButton()->geometry();
    const QColor centre = colorAt(grabbed(*view), QPointF(star.center()) + QPointF(0.5, 0.5));
    // The filled star covers its centre in the icon colour, lighter than the dark blue row.
    EXPECT_GT(centre.red(), 60) << centre.name().toStdString();
}

} // namespace
