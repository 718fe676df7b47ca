#include "delegatefixture.h"

#include "app/fixedzoomtextbrowser.h"
#include "app/restartalert.h"
#include "app/sethandlerpanel.h"
#include "app/statusmenu.h"
#include "app/whatsnewwindow.h"
#include "buildinfo.h"
#include "common/qtprinters.h"
#include "common/waitfor.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QStringList menuTitles(const QMenu *menu)
{
    QStringList titles;
    for (const QAction *action : menu->actions())
        titles.append(action->isSeparator() ? u"-"_s : action->text());
    return titles;
}

// Receives the URLs QDesktopServices would give the browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QString &scheme) : m_scheme(scheme)
    {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(m_scheme); }
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

private:
    QString m_scheme;
};

QMessageBox *visibleMessageBox(const QString &objectName)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible() && box->objectName() == objectName)
            return box;
    }
    return nullptr;
}

} // namespace

// ---- The tray icon and its menu

TEST_F(DelegateTest, withoutTaskbarEntryTheTrayMenuHasItsSevenItemsInOrder)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    ASSERT_NE(delegate->statusMenu(), nullptr);
    EXPECT_TRUE(delegate->statusMenu()->trayIcon()->isVisible());
    EXPECT_EQ(menuTitles(delegate->statusMenu()->menu()),
              QStringList({u"Preferences…"_s, u"View"_s, u"Show Window"_s, u"Vantrel Help"_s, u"What's New"_s,
                           u"About Vantrel"_s, u"Quit"_s}));
    EXPECT_EQ(bar.windowType(), Qt::Tool);
}

TEST_F(DelegateTest, theShowHideItemSaysWhatItWillDo)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    QAction *showHide = delegate->statusMenu()->showHideItem();
    Q_EMIT delegate->statusMenu()->menu()->aboutToShow();
    EXPECT_EQ(showHide->text(), u"Show Window"_s);

    showHide->trigger();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(showHide->text(), u"Hide Window"_s);

    bar.hide(); // closed another way: the title follows when the menu opens next
    Q_EMIT delegate->statusMenu()->menu()->aboutToShow();
    EXPECT_EQ(showHide->text(), u"Show Window"_s);
}

TEST_F(DelegateTest, theTrayMenuOpensThePreferencesAndShowsOnlyMarkedHeadlines)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    QMenu *menu = delegate->statusMenu()->menu();
    menu->actions().at(0)->trigger();
    EXPECT_EQ(preferences.calls, QStringList{u"show"_s});

    QAction *markedOnly = menu->findChild<QAction *>(u"markedOnlyItem"_s);
    ASSERT_NE(markedOnly, nullptr);
    markedOnly->trigger();
    EXPECT_TRUE(manager->isMarkedOnly());
    manager->setShowMarkedOnly(false); // changed by the bar: the item follows
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(markedOnly->isChecked());
}

TEST_F(DelegateTest, withTaskbarEntryThereIsNoTrayIcon)
{
    launch();
    EXPECT_EQ(delegate->statusMenu(), nullptr);
    EXPECT_NE(bar.windowType(), Qt::Tool);
}

// ---- Switching the taskbar entry while running

TEST_F(DelegateTest, theFirstReportOfTheSettingChangesNothing)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    EXPECT_EQ(restartQuestions, 0);
    EXPECT_TRUE(delegate->statusMenu()->trayIcon()->isVisible());
    EXPECT_EQ(delegate->quitSequence(), nullptr);
}

TEST_F(DelegateTest, turningTheTaskbarEntryOnTakesEffectAtOnceAndTheTrayIconGoes)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    bar.show();
    defaults.setObject(true, SettingsKey::showInDock);
    EXPECT_FALSE(delegate->statusMenu()->trayIcon()->isVisible());
    EXPECT_NE(bar.windowType(), Qt::Tool);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(restartQuestions, 0);
}

TEST_F(DelegateTest, turningItOffAsksForARestartAfterSavingTheSettings)
{
    launch();
    bool savedBeforeAsking = false;
    delegate->askToRestart = [&] {
        ++restartQuestions;
        savedBeforeAsking =
            UserDefaults(defaults.filePath().section(u'/', 0, -2)).objectForKey(SettingsKey::showInDock) ==
            QVariant(false);
        return false;
    };
    defaults.setObject(false, SettingsKey::showInDock);
    EXPECT_EQ(restartQuestions, 1);
    EXPECT_TRUE(savedBeforeAsking);
    // "Cancel": the program runs on as it was; the setting counts from the next start.
    EXPECT_EQ(delegate->quitSequence(), nullptr);
    EXPECT_NE(bar.windowType(), Qt::Tool);
    EXPECT_EQ(defaults.objectForKey(SettingsKey::showInDock), QVariant(false));
}

TEST_F(DelegateTest, restartingEndsTheProgramThroughTheSaveAtQuit)
{
    launch();
    answerRestart = true;
    defaults.setObject(false, SettingsKey::showInDock);
    ASSERT_NE(delegate->quitSequence(), nullptr);
    EXPECT_TRUE(delegate->quitSequence()->hasBegun());
}

TEST(RestartAlertTest, asksInTheProgramsWordsAndRestartsOnlyOnRestart)
{
    for (const QString &button : {u"restartButton"_s, u"cancelButton"_s}) {
        QString text;
        QString informative;
        QTimer::singleShot(0, [&] {
            QMessageBox *alert = visibleMessageBox(u"restartAlert"_s);
            ASSERT_NE(alert, nullptr);
            text = alert->text();
            informative = alert->informativeText();
            EXPECT_EQ(alert->icon(), QMessageBox::Warning);
            EXPECT_EQ(alert->buttons().first()->text(), u"Restart"_s);
            EXPECT_EQ(alert->defaultButton()->text(), u"Restart"_s);
            alert->findChild<QPushButton *>(button)->click();
        });
        EXPECT_EQ(RestartAlert::ask(), button == u"restartButton"_s);
        EXPECT_EQ(text, u"You must now restart"_s);
        EXPECT_EQ(informative, u"Dock Icon status change requires restart of the application"_s);
    }
}

// ---- What's New

TEST_F(DelegateTest, whatsNewOpensOnTheFirstLaunchAboveOtherWindowsAndNotAgain)
{
    launch(u"100"_s);
    ASSERT_NE(delegate->whatsNewWindow(), nullptr);
    EXPECT_TRUE(delegate->whatsNewWindow()->isVisible());
    EXPECT_TRUE(delegate->whatsNewWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(defaults.stringForKey(SettingsKey::prevVersion), u"100"_s);

    launch(u"100"_s);
    EXPECT_EQ(delegate->whatsNewWindow(), nullptr);
}

TEST_F(DelegateTest, whatsNewOpensAfterAnUpgradeButNotAfterADowngrade)
{
    defaults.setObject(u"100"_s, SettingsKey::prevVersion);
    launch(u"99"_s);
    EXPECT_EQ(delegate->whatsNewWindow(), nullptr);
    EXPECT_EQ(defaults.stringForKey(SettingsKey::prevVersion), u"99"_s);

    launch(u"101"_s);
    EXPECT_NE(delegate->whatsNewWindow(), nullptr);
}

TEST_F(DelegateTest, theWhatsNewItemOpensTheReleaseNotesAtAnyTime)
{
    defaults.setObject(false, SettingsKey::showInDock);
    defaults.setObject(u"100"_s, SettingsKey::prevVersion);
    launch(u"100"_s);
    delegate->statusMenu()->menu()->findChild<QAction *>(u"whatsNewItem"_s)->trigger();
    ASSERT_NE(delegate->whatsNewWindow(), nullptr);
    EXPECT_TRUE(delegate->whatsNewWindow()->isVisible());
    EXPECT_TRUE(delegate->whatsNewWindow()->document()->toPlainText().contains(u"What's new in Vantrel"_s));
}

// ---- The feed: handler

TEST_F(DelegateTest, withTheCheckOffVantrelClaimsFeedLinksWithoutAsking)
{
    installReader(applicationId);
    installReader(u"other.desktop"_s);
    schemeHandlers.setDefaultHandler(u"feed"_s, u"other.desktop"_s, nullptr);
    defaults.setObject(false, SettingsKey::checkHandlerOnStartup);
    launch();
    EXPECT_EQ(defaultFeedReader(), applicationId);
    EXPECT_EQ(delegate->setHandlerPanel(), nullptr);
}

TEST_F(DelegateTest, theOnlyFeedReaderIsMadeTheDefault)
{
    installReader(applicationId);
    launch();
    EXPECT_EQ(delegate->setHandlerPanel(), nullptr);
    const QByteArray mimeapps = [&] {
        QFile file(sandbox.configHome() + u"/mimeapps.list"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_TRUE(mimeapps.contains("x-scheme-handler/feed=org.vantrel.Vantrel.desktop"));
}

TEST_F(DelegateTest, whenAnotherReaderIsTheDefaultTheUserDecides)
{
    installReader(applicationId);
    installReader(u"other.desktop"_s);
    schemeHandlers.setDefaultHandler(u"feed"_s, u"other.desktop"_s, nullptr);
    launch();
    ASSERT_NE(delegate->setHandlerPanel(), nullptr);
    EXPECT_TRUE(delegate->setHandlerPanel()->isVisible());
    EXPECT_EQ(defaultFeedReader(), u"other.desktop"_s);

    delegate->setHandlerPanel()->findChild<QPushButton *>(u"setHandlerAccept"_s)->click();
    EXPECT_EQ(defaultFeedReader(), applicationId);
}

TEST_F(DelegateTest, dismissingThePanelChangesNothingAndTheDefaultIsLeftAlone)
{
    installReader(applicationId);
    installReader(u"other.desktop"_s);
    schemeHandlers.setDefaultHandler(u"feed"_s, u"other.desktop"_s, nullptr);
    launch();
    delegate->setHandlerPanel()->findChild<QPushButton *>(u"setHandlerDismiss"_s)->click();
    EXPECT_EQ(defaultFeedReader(), u"other.desktop"_s);

    schemeHandlers.setDefaultHandler(u"feed"_s, applicationId, nullptr);
    launch();
    EXPECT_EQ(delegate->setHandlerPanel(), nullptr);
    EXPECT_EQ(defaultFeedReader(), applicationId);
}

TEST_F(DelegateTest, withoutAnInstalledDesktopFileVantrelInstallsOneForTheUserToClaimLinks)
{
    launch();
    EXPECT_TRUE(QFile::exists(sandbox.userApplications() + u"/org.vantrel.Vantrel.desktop"_s));
    EXPECT_EQ(defaultFeedReader(), applicationId);
}

// ---- feed: links

TEST_F(DelegateTest, aFeedLinkOpensThePreferencesAndTheAddFeedFlowWithItsAddress)
{
    launch();
    delegate->getUrl(u"feed:https://example.org/news.xml"_s);
    delegate->getUrl(u"feed://example.org/a%20b?x=1&y='2'"_s);
    EXPECT_EQ(preferences.calls, QStringList({u"show"_s, u"add https://example.org/news.xml"_s, u"show"_s,
                                              u"add http://example.org/a%20b?x=1&y='2'"_s}));
}

TEST_F(DelegateTest, aLinkThatIsNoWebFeedIsRefusedWithAMessageAndAddsNothing)
{
    launch();
    QStringList notices;
    QObject::connect(delegate.get(), &VantrelAppDelegate::noticeShown,
                     [&](const QString &text) { notices.append(text); });
    delegate->getUrl(u"feed:file:///etc/passwd"_s);
    delegate->getUrl(u"feed:javascript:alert(1)"_s);
    EXPECT_TRUE(preferences.calls.isEmpty());
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices.first().contains(u"feed:file:///etc/passwd"_s));
    EXPECT_NE(visibleMessageBox(u"notice"_s), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // the tray menu and the bar stay usable
}

TEST_F(DelegateTest, aStartWithoutALinkBringsTheBarBack)
{
    launch();
    EXPECT_TRUE(delegate->applicationShouldHandleReopen(false));
    EXPECT_TRUE(bar.isVisible());
}

// ---- Help and about

TEST_F(DelegateTest, helpPagesOpenInTheBrowserAtThePageTheSenderNames)
{
    defaults.setObject(false, SettingsKey::showInDock);
    launch();
    UrlRecorder browser(u"file"_s);
    delegate->openHelpAction(u"subscribing"_s);
    delegate->openHelpAction(u"../../etc/passwd"_s);
    delegate->statusMenu()->menu()->findChild<QAction *>(u"helpItem"_s)->trigger();
    ASSERT_EQ(browser.opened.size(), 3);
    EXPECT_TRUE(browser.opened[0].toLocalFile().endsWith(u"/subscribing.html"_s));
    EXPECT_TRUE(browser.opened[0].fragment().isEmpty());
    EXPECT_TRUE(browser.opened[1].toLocalFile().endsWith(u"/index.html"_s));
    EXPECT_TRUE(browser.opened[2].toLocalFile().endsWith(u"/index.html"_s));
    QFile page(browser.opened[0].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<h1>Subscribing to feeds</h1>"));
}

TEST_F(DelegateTest, theAboutBoxNamesTheVersion)
{
    launch();
    delegate->orderFrontStandardAboutPanel();
    QMessageBox *about = visibleMessageBox(u"aboutPanel"_s);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), u"Vantrel "_s + QString::fromLatin1(buildinfo::version));
    about->close();
}

// ---- The download cache

TEST_F(DelegateTest, startRemovesALeftoverDownloadCacheButNeverTheItemFiles)
{
    const QString leftover = sandbox.cacheHome() + u"/vantrel"_s;
    XdgSandbox::writeFile(leftover + u"/http/0/abc"_s, "cached");
    const QString itemFile = sandbox.cacheHome() + u"/org.vantrel.Vantrel/FEED.db"_s;
    XdgSandbox::writeFile(itemFile, "items");
    launch();
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFile::exists(itemFile));
}

#include "vantrelappdelegate_test.moc"
