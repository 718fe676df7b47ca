#include "previewfixture.h"

#include "imageserver.h"

#include "preview/previewdocument.h"
#include "preview/previewgeometry.h"
#include "preview/vtpreviewbubbleview.h"
#include "ui/animation/viewalpha.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Counts the times a window leaves the screen.
class HideCounter : public QObject {
public:
    explicit HideCounter(QWidget &window) { window.installEventFilter(this); }
    int hides = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        hides += event->type() == QEvent::Hide;
        return false;
    }
};

class PreviewWindowControllerTest : public PreviewFixture {
protected:
    PreviewWindowControllerTest() { makePreview(); }

    QRect frame() const { return window().geometry(); }
    // The bubble's arrow, in global top-down coordinates.
    int arrowY() const
    {
        return frame().top() + frame().height() - int(preview->bubbleView()->arrowLocation().y());
    }

    QPoint linkPosition(const QString &text) const
    {
        QTextCursor cursor = view().document()->find(text);
        EXPECT_FALSE(cursor.isNull()) << qPrintable(text);
        cursor.setPosition(cursor.selectionStart() + 1);
        return view().cursorRect(cursor).center();
    }
    void click(const QString &linkText, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(view().viewport(), Qt::LeftButton, modifiers, linkPosition(linkText));
    }
};

} // namespace

TEST_F(PreviewWindowControllerTest, anEntryOpensBesideItsRowSizedToItsContent)
{
    const auto item = entry(u"Library opens"_s, u"<p>Forty new seats.</p>"_s);
    show(item, middleLeft(), true);

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(preview->dataItem(), item);
    EXPECT_EQ(preview->contentSize().width(), 300);
    EXPECT_EQ(frame().size(), PreviewGeometry::windowSize(preview->contentSize()));
    EXPECT_EQ(frame().left(), middleLeft().x());
    EXPECT_LE(std::abs(frame().center().y() - middleLeft().y()), 1);
    EXPECT_EQ(arrowY(), middleLeft().y());
    EXPECT_TRUE(preview->bubbleView()->showOnLeft());
    EXPECT_EQ(view().loadedHtml(), PreviewDocument::htmlContentWithScroller(*item, false));
    EXPECT_TRUE(view().isVisible());
    EXPECT_EQ(view().geometry().left(), 14);
    EXPECT_TRUE(view().toPlainText().contains(u"Forty new seats."_s));
    EXPECT_DOUBLE_EQ(ViewAlpha::of(preview->bubbleView()), 1.0);
}

TEST_F(PreviewWindowControllerTest, contentOf200Gets232AndContentOf600ScrollsIn432WithTheScrollBarStyles)
{
    const auto shortItem = entry(QString(), contentOfHeight(150));
    show(shortItem, middleLeft());
    const QSize shortContent = preview->contentSize();
    ASSERT_LE(shortContent.height(), 400);
    EXPECT_EQ(frame().size(), QSize(shortContent.width() + 22, shortContent.height() + 32));
    EXPECT_FALSE(view().loadedHtml().contains(u"::-webkit-scrollbar"_s));
    EXPECT_FALSE(view().verticalScrollBar()->isVisible());

    const auto tallItem = entry(QString(), contentOfHeight(600));
    show(tallItem, middleLeft());
    EXPECT_GT(preview->contentSize().height(), 600);
    EXPECT_EQ(frame().size(), QSize(preview->contentSize().width() + 46, 432));
    EXPECT_EQ(view().loadedHtml(), PreviewDocument::htmlContentWithScroller(*tallItem, true));
    EXPECT_TRUE(view().verticalScrollBar()->isVisible());
    EXPECT_LE(view().verticalScrollBar()->width(), 12);
}

TEST_F(PreviewWindowControllerTest, withTheBarOnTheRightTheBubbleStandsLeftOfItWithTheCloseButtonLeft)
{
    show(entry(u"Right"_s, u"<p>side</p>"_s), middleRight(), false);
    EXPECT_EQ(frame().left() + frame().width(), middleRight().x());
    EXPECT_FALSE(preview->bubbleView()->showOnLeft());
    EXPECT_EQ(arrowY(), middleRight().y());
    EXPECT_EQ(view().geometry().left(), 4);
    const int width = frame().width();
    EXPECT_EQ(preview->closeButton()->geometry().left(), 12);
    EXPECT_EQ(preview->openButton()->geometry().left(), width - 42);
    EXPECT_EQ(preview->shareButton()->geometry().left(), width - 66);
    EXPECT_EQ(preview->closeButton()->geometry().bottom(), frame().height() - 9);

    show(entry(u"Left"_s, u"<p>side</p>"_s), middleLeft(), true);
    EXPECT_EQ(preview->closeButton()->geometry().left(), frame().width() - 28);
    EXPECT_EQ(preview->openButton()->geometry().left(), 22);
}

TEST_F(PreviewWindowControllerTest, nearTheBottomOfTheScreenTheWindowStaysOnItButNeverCloserThan30ToTheArrow)
{
    const int bottom = screen().height();
    show(entry(u"Low"_s, contentOfHeight(150)), QPoint(200, bottom - 40));
    EXPECT_EQ(frame().top() + frame().height(), bottom);
    EXPECT_EQ(arrowY(), bottom - 40);

    show(entry(u"Lower"_s, contentOfHeight(150)), QPoint(200, bottom - 10));
    EXPECT_EQ(frame().top() + frame().height(), bottom - 10 + 30);
    EXPECT_EQ(arrowY(), bottom - 10);
}

TEST_F(PreviewWindowControllerTest, closingFadesThePreviewOutAndTakesItOffTheScreenAfterTheDelay)
{
    VTPreviewWindowController::Options options;
    options.hideDelayMs = 0;
    makePreview(options);
    show(entry(u"Closing"_s, u"<p>soon</p>"_s), middleLeft());

    preview->close();
    EXPECT_EQ(preview->dataItem(), nullptr);
    EXPECT_FALSE(view().isVisible());
    EXPECT_TRUE(preview->isHidePending());
    EXPECT_TRUE(window().isVisible());
    clock.advanceBy(AnimationTiming::defaultDurationMs);
    EXPECT_DOUBLE_EQ(ViewAlpha::of(preview->bubbleView()), 0.0);

    ASSERT_TRUE(waitFor([&] { return !window().isVisible(); }));
    EXPECT_EQ(view().loadedHtml(), PreviewDocument::blank());
}

TEST_F(PreviewWindowControllerTest, anEntryShownWithinTheSecondAfterClosingAppearsWithoutTheWindowLeaving)
{
    EXPECT_EQ(VTPreviewWindowController::Options().hideDelayMs, 1000);
    // A delay no slow run outlasts, so the reopening surely falls within it.
    VTPreviewWindowController::Options options;
    options.hideDelayMs = 60 * 1000;
    makePreview(options);
    show(entry(u"First"_s, u"<p>one</p>"_s), middleLeft());
    HideCounter counter(window());
    preview->close();
    clock.advanceBy(400);
    ASSERT_TRUE(preview->isHidePending());

    const auto second = entry(u"Second"_s, u"<p>two</p>"_s);
    show(second, middleLeft() + QPoint(0, 60));
    EXPECT_FALSE(preview->isHidePending());
    EXPECT_EQ(counter.hides, 0);
    EXPECT_EQ(preview->dataItem(), second);
    EXPECT_TRUE(view().toPlainText().contains(u"two"_s));
    EXPECT_DOUBLE_EQ(ViewAlpha::of(preview->bubbleView()), 1.0);
    EXPECT_EQ(arrowY(), middleLeft().y() + 60);
}

TEST_F(PreviewWindowControllerTest, thePreviewFollowsItsRowAndClosesWhenTheRowLeavesTheScreen)
{
    show(entry(u"Follow"_s, contentOfHeight(150)), middleLeft());
    const QRect start = frame();

    preview->setArrowLocation(middleLeft() + QPoint(0, 20), true);
    EXPECT_EQ(frame(), start);
    EXPECT_EQ(arrowY(), middleLeft().y() + 20);

    const int nearBottom = start.top() + start.height() - 10;
    preview->setArrowLocation(QPoint(middleLeft().x(), nearBottom), true);
    EXPECT_EQ(frame().top() + frame().height(), nearBottom + 30);
    EXPECT_EQ(frame().size(), start.size());

    const int nearTop = frame().top() + 5;
    preview->setArrowLocation(QPoint(middleLeft().x() + 5, nearTop), true);
    EXPECT_EQ(frame().top(), nearTop - 30);
    EXPECT_EQ(arrowY(), nearTop);
    EXPECT_EQ(frame().left(), middleLeft().x() + 5);
    EXPECT_NE(preview->dataItem(), nullptr);

    preview->setArrowLocation(QPoint(middleLeft().x(), screen().height() + 5), true);
    EXPECT_EQ(preview->dataItem(), nullptr);

    show(entry(u"Again"_s, u"<p>me</p>"_s), middleLeft());
    preview->setArrowLocation(QPoint(middleLeft().x(), 10), true);
    EXPECT_EQ(preview->dataItem(), nullptr);
}

TEST_F(PreviewWindowControllerTest, aLockedPreviewHoldsStillUntilUnlocked)
{
    const auto first = entry(u"Held"_s, u"<p>still</p>"_s);
    show(first, middleLeft());
    const QRect held = frame();

    preview->lock();
    EXPECT_TRUE(preview->isLocked());
    preview->setDataItem(entry(u"Other"_s, QString()));
    preview->setArrowLocation(middleLeft() + QPoint(0, 150), true);
    preview->close();
    EXPECT_EQ(preview->dataItem(), first);
    EXPECT_EQ(frame(), held);
    EXPECT_FALSE(preview->isHidePending());

    preview->unlock();
    preview->close();
    EXPECT_EQ(preview->dataItem(), nullptr);
    // A hide that comes due while locked happens at unlock.
    preview->lock();
    preview->hide();
    EXPECT_TRUE(window().isVisible());
    preview->unlock();
    EXPECT_FALSE(window().isVisible());
}

TEST_F(PreviewWindowControllerTest, theOpenButtonOpensTheEntryInTheBrowserAndCloses)
{
    show(entry(u"Open me"_s, u"<p>x</p>"_s, u"https://example.org/opened"_s), middleLeft());
    QTest::mouseClick(preview->openButton(), Qt::LeftButton);
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(u"https://example.org/opened"_s)});
    EXPECT_EQ(preview->dataItem(), nullptr);
}

TEST_F(PreviewWindowControllerTest, theShareButtonOffersTheShareMenuBelowItAndHoldsThePreviewStill)
{
    const auto item = entry(u"Hello World"_s, u"<p>x</p>"_s, u"https://example.org/shared"_s);
    show(item, middleLeft());
    QTest::mousePress(preview->shareButton(), Qt::LeftButton);

    QMenu *menu = preview->shareMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(sharing.item(), item);
    EXPECT_GE(menu->geometry().top(), preview->shareButton()->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_TRUE(preview->isLocked());

    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_FALSE(preview->isLocked());
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls.at(0).scheme(), u"mailto"_s);
    EXPECT_EQ(preview->dataItem(), item);
}

TEST_F(PreviewWindowControllerTest, aClickedLinkGoesToTheBrowserAndThePreviewStaysOnTheEntry)
{
    const auto item = entry(u"Links"_s, u"<p><a href=\"https://example.org/one\">first link</a></p>"
                                        u"<p><a href=\"https://example.org/two\">second link</a></p>"
                                        u"<p><a href=\"javascript:alert(1)\">script link</a></p>"
                                        u"<p><a href=\"file:///etc/passwd\">local link</a></p>"_s);
    show(item, middleLeft());

    click(u"first link"_s);
    // Shift: the desktop's URL handler has no way to keep the browser behind, so the same.
    click(u"second link"_s, Qt::ShiftModifier);
    EXPECT_EQ(opened.urls,
              (QList<QUrl>{QUrl(u"https://example.org/one"_s), QUrl(u"https://example.org/two"_s)}));
    EXPECT_EQ(preview->dataItem(), item);
    EXPECT_TRUE(window().isVisible());

    click(u"script link"_s);
    click(u"local link"_s);
    EXPECT_EQ(opened.urls.size(), 2);
    EXPECT_TRUE(waitFor([&] { return beeps() == 2; }));
    EXPECT_EQ(preview->dataItem(), item);
}

TEST_F(PreviewWindowControllerTest, escapeClosesReturnOpensAndTheArrowKeysScroll)
{
    show(entry(u"Keys"_s, contentOfHeight(900), u"https://example.org/keys"_s), middleLeft());
    QScrollBar *scroll = view().verticalScrollBar();
    ASSERT_EQ(scroll->value(), 0);
    QTest::keyClick(&view(), Qt::Key_Down);
    EXPECT_GT(scroll->value(), 0);
    QTest::keyClick(&view(), Qt::Key_Up);
    EXPECT_EQ(scroll->value(), 0);

    QTest::keyClick(&view(), Qt::Key_Escape);
    EXPECT_EQ(preview->dataItem(), nullptr);

    show(entry(u"Keys"_s, u"<p>again</p>"_s, u"https://example.org/keys"_s), middleLeft());
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(u"https://example.org/keys"_s)});
    EXPECT_EQ(preview->dataItem(), nullptr);
}

TEST_F(PreviewWindowControllerTest, aNewFontSizeOrFontShowsTheEntryAgain)
{
    const auto item = entry(u"Fonts"_s, u"<p>Some text that wraps over a few lines in the bubble.</p>"_s);
    show(item, middleLeft());
    const QSize at12 = preview->contentSize();

    defaults.setObject(24, SettingsKey::fontSize);
    clock.advanceBy(1000);
    EXPECT_EQ(view().document()->defaultFont().pointSize(), 24);
    EXPECT_GT(preview->contentSize().height(), at12.height());
    EXPECT_EQ(frame().size(), PreviewGeometry::windowSize(preview->contentSize()));

    defaults.setObject(u"DejaVu Serif"_s, SettingsKey::fontName);
    EXPECT_EQ(view().document()->defaultFont().family(), u"DejaVu Serif"_s);
    EXPECT_EQ(preview->dataItem(), item);
}

TEST_F(PreviewWindowControllerTest, alwaysOnTopKeepsTheWindowAboveOthers)
{
    show(entry(u"Top"_s, u"<p>x</p>"_s), middleLeft());
    EXPECT_TRUE(window().windowFlags() & Qt::WindowStaysOnTopHint);
    defaults.setObject(false, SettingsKey::alwaysOnTop);
    EXPECT_FALSE(window().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(PreviewWindowControllerTest, anImageShowsAPlaceholderAtOnceAndTheBubbleGrowsWhenItArrives)
{
    ImageServer server;
    server.serve("/held/photo.png", ImageServer::png(QSize(200, 150), Qt::darkGreen));
    server.serve("/held/sized.png", ImageServer::png(QSize(100, 50), Qt::darkBlue));
    const QString content =
        u"<p>Photo:</p><img src=\"%1\"><p><img src=\"%2\" width=\"100\" height=\"50\"></p>"_s.arg(
            server.url("/held/photo.png"), server.url("/held/sized.png"));
    show(entry(u"Pictured"_s, content), middleLeft());
    // An image of known size takes its room at once, and loads when it is first drawn.
    const QSize before = preview->contentSize();
    EXPECT_GT(before.height(), 50);
    const QRect frameBefore = frame();
    window().grab();

    server.release();
    ASSERT_TRUE(
        waitFor([&] { return preview->contentSize() != before && server.hits("/held/sized.png") == 1; }));
    clock.advanceBy(1000);
    EXPECT_GE(preview->contentSize().height(), before.height() + 120);
    EXPECT_EQ(frame().height(), frameBefore.height() + preview->contentSize().height() - before.height());
    EXPECT_EQ(server.hits("/held/photo.png"), 1);
    EXPECT_EQ(server.hits("/held/sized.png"), 1);
    EXPECT_EQ(arrowY(), middleLeft().y());
}
