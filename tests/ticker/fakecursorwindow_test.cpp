#include "ticker/widgets/fakecursorwindow.h"
#include "ui/drawing/bottomupgeometry.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A 300-pixel bar docked at one side of the last screen, and the fake cursor that resizes it.
// A second test entry runs these with two screens side by side, so that the bar's screen does
// not start at desktop x 0.
class FakeCursorWindowTest : public ::testing::Test {
protected:
    FakeCursorWindowTest()
    {
        bar.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
        dockLeft();
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        EXPECT_EQ(bar.screen()->availableGeometry(), screen);
    }
    ~FakeCursorWindowTest() override { window.showCursor(); }

    void dockLeft() { bar.setGeometry(screen.x(), screen.y(), 300, screen.height()); }
    void dockRight() { bar.setGeometry(screen.right() + 1 - 300, screen.y(), 300, screen.height()); }
    int right() const { return bar.geometry().x() + bar.geometry().width(); }

    void send(QEvent::Type type, int x, Qt::MouseButtons buttons)
    {
        const QPointF global(x, 400);
        QMouseEvent event(type, window.mapFromGlobal(global), global, Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    }
    void dragTo(int x) { send(QEvent::MouseMove, x, Qt::LeftButton); }
    void moveTo(int x) { send(QEvent::MouseMove, x, Qt::NoButton); }

    const QRect screen = QGuiApplication::screens().constLast()->availableGeometry();
    QWidget bar;
    FakeCursorWindow window{BottomUpGeometry::desktop().rect(20, 20, 100, 100), &bar};
};

TEST_F(FakeCursorWindowTest, atTheScreensLeftSideTheRightEdgeFollowsThePointerBetween117And600)
{
    dragTo(screen.x() + 250);
    EXPECT_EQ(bar.geometry(), QRect(screen.x(), screen.y(), 250, screen.height()));
    EXPECT_EQ(window.geometry().center(), QPoint(screen.x() + 249, 399));
    dragTo(screen.x() + 40);
    EXPECT_EQ(bar.width(), FakeCursorWindow::minimumWidth);
    dragTo(screen.x() + 700);
    EXPECT_EQ(bar.width(), FakeCursorWindow::maximumWidth);
    EXPECT_EQ(bar.x(), screen.x());
}

TEST_F(FakeCursorWindowTest, elsewhereTheLeftEdgeFollowsAndTheRightEdgeStaysBetween117And600)
{
    dockRight();
    const int rightEdge = right();
    dragTo(rightEdge - 350);
    EXPECT_EQ(bar.geometry(), QRect(rightEdge - 350, screen.y(), 350, screen.height()));
    dragTo(rightEdge - 50);
    EXPECT_EQ(bar.width(), FakeCursorWindow::minimumWidth);
    EXPECT_EQ(right(), rightEdge);
    dragTo(rightEdge - 750);
    EXPECT_EQ(bar.width(), FakeCursorWindow::maximumWidth);
    EXPECT_EQ(right(), rightEdge);
}

TEST_F(FakeCursorWindowTest, hidingTwiceHidesTheCursorOnceWithOneTimerAndShowingUndoesItOnce)
{
    window.hideCursor();
    window.hideCursor();
    EXPECT_TRUE(window.isCursorHidden());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.findChildren<QTimer *>().size(), 1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);

    window.showCursor();
    EXPECT_FALSE(window.isCursorHidden());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.findChildren<QTimer *>().size(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Showing it again, or without hiding it first, leaves another override cursor alone.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    window.showCursor();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
}

TEST_F(FakeCursorWindowTest, movingFourPixelsFromTheDraggedEdgeGivesThePointerBack)
{
    window.hideCursor();
    moveTo(right() + 3);
    EXPECT_TRUE(window.isCursorHidden());
    EXPECT_EQ(window.geometry().center(), QPoint(right() + 2, 399));
    moveTo(right() + 4);
    EXPECT_FALSE(window.isCursorHidden());

    dockRight();
    window.hideCursor();
    moveTo(bar.x() - 3);
    EXPECT_TRUE(window.isCursorHidden());
    moveTo(bar.x() - 4);
    EXPECT_FALSE(window.isCursorHidden());
}

TEST_F(FakeCursorWindowTest, theWindowFollowsThePointerOnItsOwn)
{
    QCursor::setPos(right() + 1, 300);
    window.hideCursor();
    EXPECT_EQ(window.geometry().center(), QPoint(right(), 299));
    QCursor::setPos(right() + 2, 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry().center() == QPoint(right() + 1, 499); }));
    QCursor::setPos(right() + 40, 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isCursorHidden(); }));
}

TEST_F(FakeCursorWindowTest, leavingKeepsTheFakeCursorOnlyWhileThePrimaryButtonIsHeld)
{
    window.hideCursor();
    const QPoint middle = window.rect().center();
    QTest::mousePress(&window, Qt::LeftButton, {}, middle);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_TRUE(window.isCursorHidden());
    QTest::mouseRelease(&window, Qt::LeftButton, {}, middle);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_FALSE(window.isCursorHidden());
}

} // namespace
