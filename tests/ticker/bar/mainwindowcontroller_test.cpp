#include "barfixture.h"

#include "common/pixels.h"
#include "ticker/bar/barcolumn.h"
#include "ticker/bar/barkeyboard.h"
#include "ticker/bar/compositorwatch.h"
#include "ticker/bar/edgestrip.h"
#include "ticker/bar/toolbuttonrow.h"
#include "ticker/bar/unseenlist.h"
#include "ticker/widgets/glowbutton.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

class BarWindowTest : public BarFixture {
protected:
    QRect available() const { return bar->window()->screen()->availableGeometry(); }
    int alphaAt(const QPoint &point) const { return qAlpha(bar->window()->grab().toImage().pixel(point)); }
};

TEST_F(BarWindowTest, withoutAGradientTheWindowPaintsTheBackgroundAtTheOpacityAndOpaqueWithoutACompositor)
{
    startBar(0);
    EXPECT_EQ(bar->window()->backgroundColor(), QColor::fromRgbF(0, 0, 0, 0.75f));
    EXPECT_NEAR(alphaAt(QPoint(100, 300)), 191, 1);

    defaults.setObject(45.0, SettingsKey::gradientAngle);
    EXPECT_EQ(bar->window()->backgroundColor().alpha(), 0) << "the gradient view paints instead";
    EXPECT_NE(alphaAt(QPoint(5, 795)), alphaAt(QPoint(245, 5)));

    defaults.setObject(-1.0, SettingsKey::gradientAngle);
    bar->compositor().setCompositing(false);
    EXPECT_EQ(alphaAt(QPoint(100, 300)), 255) << "nothing would blend it with the desktop";
}

TEST_F(BarWindowTest, theFreeWindowIsTitledAndStaysWhereTheUserPutsItAndDockingAgainTakesTheFullHeight)
{
    startBar(3);
    RSSWindow *window = bar->window();
    EXPECT_EQ(window->geometry(),
              QRect(available().right() - 249, available().top(), 250, available().height()));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(bar->edgeStrip()->geometry(), QRect(0, 0, 3, available().height()));

    defaults.setObject(2, SettingsKey::location);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowTitleHint));
    EXPECT_EQ(window->windowTitle(), u"Vantrel"_s);
    EXPECT_TRUE(bar->edgeStrip()->isHidden());
    window->setGeometry(100, 120, 300, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->geometry(), QRect(100, 120, 300, 400));
    EXPECT_EQ(bar->scrollView()->width(), 300);

    defaults.setObject(0, SettingsKey::location);
    EXPECT_EQ(window->geometry(), QRect(available().left(), available().top(), 300, available().height()));
    EXPECT_EQ(bar->edgeStrip()->geometry(), QRect(297, 0, 3, available().height()));
    EXPECT_TRUE(bar->edgeStrip()->isVisible());
}

TEST_F(BarWindowTest, theSearchFieldPushesTheListDownAndFiltersItWhileItShows)
{
    startBar(5);
    const BarColumn &column = bar->column();
    const QRect field = column.searchFrame();
    auto top = [&] { return column.scrollFrame().y() + column.scrollFrame().height(); };
    EXPECT_EQ(top(), field.y() + field.height());

    bar->flipSearchFieldActionAnimate(true);
    animations.advanceInFrames(500);
    EXPECT_EQ(top(), field.y() - 5) << "five points below the field";
    EXPECT_TRUE(bar->searchField()->isVisible());
    QTest::keyClicks(bar->searchField(), u"stored 3"_s);
    manager->mergeSync();
    flow().rebuildViews();
    ASSERT_EQ(rows().size(), 1);
    EXPECT_EQ(rows().constFirst()->dataItem()->title(), u"stored 3"_s);

    bar->flipSearchFieldActionAnimate(true);
    animations.advanceInFrames(500);
    EXPECT_EQ(top(), field.y() + field.height());
    EXPECT_EQ(bar->searchField()->text(), QString());
    manager->mergeSync();
    flow().rebuildViews();
    EXPECT_EQ(rows().size(), 5) << "hiding the field ends the search";
}

TEST_F(BarWindowTest, theToolButtonsSpreadAcrossTheBarAndShowWhileThePointerIsOverIt)
{
    startBar(1, 200);
    bar->window()->resize(200, bar->window()->height());
    ToolButtonRow &buttons = bar->buttons();
    const QList<GlowButton *> row = buttons.row(bar->windowLocation());
    ASSERT_EQ(row.size(), 7);
    QList<int> xs;
    for (GlowButton *button : row) {
        xs.append(button->x());
        EXPECT_TRUE(button->isHidden());
    }
    EXPECT_EQ(xs, (QList<int>{6, 34, 62, 90, 118, 146, 174}));

    QEnterEvent enter(QPointF(50, 50), QPointF(50, 50), bar->window()->mapToGlobal(QPointF(50, 50)));
    QCoreApplication::sendEvent(bar->window(), &enter);
    for (GlowButton *button : row)
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar->window(), &leave);
    EXPECT_TRUE(buttons.searchButton()->isHidden());
}

TEST_F(BarWindowTest, aDroppedFeedAddressSubscribesAndOtherTextIsRefused)
{
    startBar(1);
    auto drop = [&](const QString &text) {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar->window(), &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar->window(), &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(drop(u"not a feed at all"_s));
    EXPECT_FALSE(drop(u"/etc/passwd"_s));
    EXPECT_EQ(manager->datasources().size(), 1);
    EXPECT_TRUE(drop(u"http://127.0.0.1:9/dropped.xml"_s));
    EXPECT_EQ(manager->datasources().size(), 2);
}

class BarKeyboardTest : public BarFixture {
protected:
    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(bar->window(), Qt::Key(code), modifiers);
    }
};

TEST_F(BarKeyboardTest, theArrowsMoveAFocusRowThatEnterOpensAndEscapeCloses)
{
    startBar(5);
    key(Qt::Key_Down);
    ASSERT_NE(rowTitled(u"stored 0"_s), nullptr);
    EXPECT_TRUE(rowTitled(u"stored 0"_s)->isHighlighted());
    key(Qt::Key_Down);
    EXPECT_TRUE(rowTitled(u"stored 1"_s)->isHighlighted());
    EXPECT_FALSE(rowTitled(u"stored 0"_s)->isHighlighted());
    key(Qt::Key_Up);
    key(Qt::Key_Down);

    key(Qt::Key_Return);
    const DataItemPtr focused = rowTitled(u"stored 1"_s)->dataItem();
    EXPECT_EQ(preview->dataItem(), focused);
    EXPECT_TRUE(focused->read());
    key(Qt::Key_Escape);
    EXPECT_EQ(preview->dataItem(), nullptr);

    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(opened, QStringList{u"stored 1"_s});
}

TEST_F(BarKeyboardTest, lettersStarAndMarkReadAndControlFSearches)
{
    startBar(5);
    key(Qt::Key_Down);
    const DataItemPtr focused = rowTitled(u"stored 0"_s)->dataItem();
    key(Qt::Key_S);
    EXPECT_TRUE(stars->isStarred(*focused));
    key(Qt::Key_S);
    EXPECT_FALSE(stars->isStarred(*focused));
    key(Qt::Key_R);
    EXPECT_TRUE(focused->read());
    key(Qt::Key_R);
    EXPECT_FALSE(focused->read());

    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(bar->searchField()->isEnabled());
    QTest::keyClick(bar->searchField(), Qt::Key_S);
    EXPECT_EQ(bar->searchField()->text(), u"s"_s) << "letters typed into the field stay there";
    EXPECT_FALSE(stars->isStarred(*focused));
    QTest::keyClick(bar->searchField(), Qt::Key_Escape);
    EXPECT_FALSE(bar->searchField()->isEnabled());
}

class BarViewsTest : public BarFixture {};

TEST_F(BarViewsTest, theStarredButtonSwitchesToTheStarredHeadlinesAndBack)
{
    startBar(5);
    stars->starItem(rowTitled(u"stored 2"_s)->dataItem());
    bar->buttons().starredButton()->click();
    EXPECT_TRUE(bar->isShowingStarred());
    EXPECT_TRUE(bar->buttons().starredButton()->state());
    ASSERT_EQ(rows().size(), 1);
    EXPECT_EQ(rows().constFirst()->dataItem()->title(), u"stored 2"_s);

    bar->buttons().starredButton()->click();
    EXPECT_FALSE(bar->isShowingStarred());
    EXPECT_FALSE(bar->buttons().starredButton()->state());
    EXPECT_EQ(rows().size(), 5);
}

TEST_F(BarViewsTest, theMarkedButtonShowsOnlyTheHeadlinesThatMatchAKeyword)
{
    startBar(5);
    rowTitled(u"stored 3"_s)->dataItem()->setObject(true, ItemKey::mark);
    bar->buttons().markedButton()->click();
    EXPECT_TRUE(manager->isMarkedOnly());
    EXPECT_TRUE(bar->buttons().markedButton()->state());
    manager->mergeSync();
    flow().rebuildViews();
    ASSERT_EQ(rows().size(), 1);
    EXPECT_EQ(rows().constFirst()->dataItem()->title(), u"stored 3"_s);
    bar->buttons().markedButton()->click();
    manager->mergeSync();
    flow().rebuildViews();
    EXPECT_EQ(rows().size(), 5);
}

TEST_F(BarViewsTest, theButtonsOfAHeadlinesNotificationMarkItReadAndStarIt)
{
    ASSERT_TRUE(serverStarted);
    ASSERT_TRUE(waitFor([&] { return !client.capabilities().isEmpty(); }));
    startBar(3);
    const DataItemPtr item = arrive(u"announced"_s);
    flow().timer();
    ASSERT_TRUE(waitFor([&] { return !server.notifications().isEmpty(); }));
    const FakeNotificationServer::Notification shown = server.notifications().constFirst();
    EXPECT_TRUE(shown.actions.contains(NotificationManager::markReadAction));

    server.invokeAction(shown.id, NotificationManager::markReadAction);
    EXPECT_TRUE(waitFor([&] { return item->read(); }));
    server.invokeAction(shown.id, NotificationManager::starAction);
    EXPECT_TRUE(waitFor([&] { return stars->isStarred(*item); }));
}

} // namespace
