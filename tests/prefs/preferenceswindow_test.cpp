#include "prefsfixture.h"

#include "common/fakenotificationserver.h"
#include "common/privatebus.h"
#include "prefs/addfeedsheet.h"
#include "prefs/notificationspane.h"
#include "prefs/rsspreferencescontroller.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

using PreferencesWindowTest = PrefsFixture;

void clickToolbarItem(PreferencesController &window, int tag)
{
    auto *toolbar = window.findChild<QToolBar *>(u"toolbar"_s);
    QTest::mouseClick(toolbar->widgetForAction(window.toolbarItem(tag)), Qt::LeftButton);
}

TEST_F(PreferencesWindowTest, opensOnTheGeneralPaneTitledWithItsLabel)
{
    PreferencesController &prefs = openWindow();
    EXPECT_EQ(prefs.windowTitle(), u"General"_s);
    EXPECT_EQ(prefs.currentView()->objectName(), u"generalView"_s);
    EXPECT_TRUE(prefs.toolbarItem(PreferencesController::GeneralTag)->isChecked());
}

TEST_F(PreferencesWindowTest, eachToolbarItemShowsItsPaneUnderItsLabel)
{
    PreferencesController &prefs = openWindow();
    const std::pair<int, const char16_t *> panes[] = {
        {PreferencesController::FeedsTag, u"rssView"},
        {PreferencesController::ReaderServiceTag, u"googleReaderView"},
        {PreferencesController::AppearanceTag, u"appearanceView"},
        {PreferencesController::NotificationsTag, u"notificationsView"},
        {PreferencesController::GeneralTag, u"generalView"}};
    for (const auto &[tag, name] : panes) {
        clickToolbarItem(prefs, tag);
        EXPECT_EQ(prefs.currentView()->objectName(), QString::fromUtf16(name));
        EXPECT_EQ(prefs.windowTitle(), prefs.toolbarItem(tag)->text());
        EXPECT_TRUE(prefs.currentView()->isVisible());
    }
}

TEST_F(PreferencesWindowTest, switchingToAShorterPaneShrinksTheWindowBelowAFixedTopEdge)
{
    PreferencesController &prefs = openWindow(PreferencesController::GeneralTag);
    const QRect tall = prefs.geometry();
    clickToolbarItem(prefs, PreferencesController::NotificationsTag);
    const QRect shortWindow = prefs.geometry();
    EXPECT_EQ(shortWindow.top(), tall.top());
    EXPECT_EQ(shortWindow.width(), tall.width());
    EXPECT_LT(shortWindow.height(), tall.height());
    clickToolbarItem(prefs, PreferencesController::GeneralTag);
    EXPECT_EQ(prefs.geometry(), tall);
}

TEST_F(PreferencesWindowTest, aTagWithoutAPaneChangesOnlyTheTitle)
{
    PreferencesController &prefs = openWindow(PreferencesController::AppearanceTag);
    prefs.showPane(9);
    EXPECT_EQ(prefs.currentView()->objectName(), u"appearanceView"_s);
}

TEST_F(PreferencesWindowTest, aFeedLinkOpensTheAddSheetOnTheFeedsPaneAndLeavesTheToolbarAlone)
{
    PreferencesController &prefs = openWindow(PreferencesController::AppearanceTag);
    prefs.addFeed(QUrl(u"feed://example.com/News.xml"_s));
    EXPECT_EQ(prefs.currentView()->objectName(), u"rssView"_s);
    auto *sheet = find<AddFeedSheet>(u"addFeedPanel"_s);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(find<QLineEdit>(u"addRSSField"_s)->text(), u"feed://example.com/News.xml"_s);
    EXPECT_TRUE(prefs.toolbarItem(PreferencesController::AppearanceTag)->isChecked());
    EXPECT_EQ(prefs.windowTitle(), u"Appearance"_s);

    // The window manager places a window opened by a link after its sheet: the sheet follows.
    prefs.move(prefs.pos() + QPoint(150, 100));
    const QPoint offCentre = sheet->frameGeometry().center() - prefs.frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
}

TEST_F(PreferencesWindowTest, theAddFeedActionSelectsTheFeedsItemAndPrefillsFromTheClipboard)
{
    PreferencesController &prefs = openWindow(PreferencesController::GeneralTag);
    QGuiApplication::clipboard()->setText(u"HTTPS://Example.com/Feed.XML"_s);
    prefs.addFeedAction();
    EXPECT_TRUE(prefs.toolbarItem(PreferencesController::FeedsTag)->isChecked());
    EXPECT_EQ(prefs.windowTitle(), u"Feeds"_s);
    EXPECT_EQ(find<QLineEdit>(u"addRSSField"_s)->text(), u"https://example.com/feed.xml"_s);
}

TEST_F(PreferencesWindowTest, closingTheWindowCommitsTheNameBeingEdited)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s));
    PreferencesController &prefs = openWindow(PreferencesController::FeedsTag);
    auto *table = find<QTableView>(u"feedTableView"_s);
    const QModelIndex name = table->model()->index(0, 1);
    table->setCurrentIndex(name);
    table->edit(name);
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, u"Gadgets"_s);
    QTest::keySequence(editor, QKeySequence::Close);
    EXPECT_FALSE(prefs.isVisible());
    EXPECT_EQ(source(0)->customName(), u"Gadgets"_s);
    EXPECT_EQ(feedEntry(0).value(u"customName"_s).toString(), u"Gadgets"_s);
}

TEST_F(PreferencesWindowTest, withoutANotificationServerTheChoiceIsDisabledButThePaneOpens)
{
    PreferencesController &prefs = openWindow(PreferencesController::NotificationsTag);
    EXPECT_EQ(prefs.currentView()->objectName(), u"notificationsView"_s);
    EXPECT_FALSE(find<QGroupBox>(u"notificationsGroup"_s)->isEnabled());
    EXPECT_TRUE(find<QWidget>(u"notificationsUnavailableLabel"_s)->isVisible());
    EXPECT_TRUE(find<QRadioButton>(u"notificationsMarkedButton"_s)->isChecked());
}

// With a notification server on the bus, each choice stores its level at once.
TEST(NotificationsPaneTest, eachChoiceStoresItsLevel)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << qPrintable(bus.error());
    FakeNotificationServer server(bus, {u"actions"_s, u"body"_s});
    ASSERT_TRUE(server.start());
    FreedesktopNotifications client(bus.connect(u"client"_s), 500);
    ASSERT_TRUE(waitFor([&] { return client.isServerAvailable(); }));
    XdgSandbox sandbox;
    UserDefaults defaults(sandbox.configHome() + u"/vantrel"_s);
    defaults.registerDefaults({{SettingsKey::notificationCenterLevel, 5}});

    NotificationsPane pane(defaults, client);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_TRUE(pane.notificationsGroup()->isEnabled());
    const std::pair<const char16_t *, qint64> choices[] = {
        {u"notificationsNoneButton", 0}, {u"notificationsAllButton", 1}, {u"notificationsMarkedButton", 5}};
    for (const auto &[name, level] : choices) {
        QTest::mouseClick(pane.findChild<QRadioButton *>(QString::fromUtf16(name)), Qt::LeftButton);
        EXPECT_EQ(defaults.integerForKey(SettingsKey::notificationCenterLevel), level);
    }
    defaults.setObject(3, SettingsKey::notificationCenterLevel);
    EXPECT_TRUE(pane.findChild<QRadioButton *>(u"notificationsAllButton"_s)->isChecked());
}

} // namespace
