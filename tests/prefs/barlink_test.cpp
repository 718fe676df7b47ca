#include "prefsfixture.h"

#include "model/stars/starmanager.h"
#include "platform/manualclock.h"
#include "prefs/colorchooserpopupbutton.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/notifications/notificationmanager.h"
#include "services/sharing/sharemanager.h"
#include "ticker/bar/listflow.h"
#include "ticker/bar/mainwindowcontroller.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/widgets/listview.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace {

// The appearance pane and the bar open side by side on one settings store: what the pane
// changes, the bar shows before the event loop turns again.
class BarLinkTest : public PrefsFixture {
protected:
    ~BarLinkTest() override
    {
        bar.reset();
        preview.reset();
    }

    void openBoth()
    {
        storeFeed(u"Feed"_s, deadUrl(u"feed.xml"_s), {}, 3);
        makeManager().mergeSync();
        stars = std::make_unique<StarManager>(defaults, manager.get());
        VTPreviewWindowController::Options previewOptions;
        previewOptions.fadeDurationMs = 0;
        preview =
            std::make_unique<VTPreviewWindowController>(defaults, browser, sharing, player, previewOptions);
        bar = std::make_unique<MainWindowController>(
            MainWindowController::Collaborators{.defaults = defaults,
                                                .clock = clock,
                                                .manager = *manager,
                                                .stars = stars.get(),
                                                .preview = *preview,
                                                .sounds = player,
                                                .notifications = barNotifications,
                                                .rows = RowContext{.settings = rowSettings,
                                                                   .clock = clock,
                                                                   .preview = *preview,
                                                                   .stars = stars.get(),
                                                                   .openInBrowser = {},
                                                                   .shareActions = {}},
                                                .startTimers = false});
        bar->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar->window()));
        openWindow(PreferencesController::AppearanceTag);
    }

    static void choose(QComboBox *comboBox, int index)
    {
        comboBox->setFocus();
        while (comboBox->currentIndex() < index)
            QTest::keyClick(comboBox, Qt::Key_Down);
        while (comboBox->currentIndex() > index)
            QTest::keyClick(comboBox, Qt::Key_Up);
    }

    ManualClock clock{QDateTime::fromSecsSinceEpoch(1780000000, Qt::UTC)};
    BrowserSupport browser{defaults, handlers, player};
    ShareManager sharing{browser};
    NotificationManager barNotifications{defaults, notifications, browser};
    RowSettings rowSettings{defaults};
    std::unique_ptr<StarManager> stars;
    std::unique_ptr<VTPreviewWindowController> preview;
    std::unique_ptr<MainWindowController> bar;
};

TEST_F(BarLinkTest, backgroundRowHeightAndPlacementChangeTheBarInTheSameTurn)
{
    openBoth();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();

    auto *colour = find<ColorChooserPopUpButton>(u"backgroundColorButton"_s);
    choose(colour, colour->findText(u"Navy"_s));
    EXPECT_EQ(bar->window()->backgroundColor().rgb(),
              colour->itemData(colour->currentIndex()).value<QColor>().rgb());

    auto *itemHeight = find<QSpinBox>(u"itemHeightField"_s);
    itemHeight->setFocus();
    QTest::keyClick(itemHeight, Qt::Key_Up);
    EXPECT_EQ(bar->listFlow().itemHeight(), 79);

    choose(find<QComboBox>(u"placementPopUpButton"_s), 1);
    EXPECT_EQ(bar->window()->geometry().right(), available.right());
    EXPECT_EQ(bar->window()->geometry().height(), available.height());
    choose(find<QComboBox>(u"placementPopUpButton"_s), 0);
    EXPECT_EQ(bar->window()->geometry().left(), available.left());
}

TEST_F(BarLinkTest, theScreenChooserMovesTheBarToTheChosenScreen)
{
    if (QGuiApplication::screens().size() < 2)
        GTEST_SKIP() << "runs with the screen file of three";
    openBoth();
    QScreen *second = QGuiApplication::screens().at(1);
    choose(find<QComboBox>(u"screensPopUpButton"_s), 1);
    EXPECT_EQ(bar->window()->geometry().left(), second->availableGeometry().left());
    EXPECT_EQ(bar->window()->geometry().height(), second->availableGeometry().height());
}

} // namespace
