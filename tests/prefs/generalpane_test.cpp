#include "prefsfixture.h"

#include "prefs/generalpreferencescontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

const QString feedMime = u"x-scheme-handler/feed"_s;

class GeneralPaneTest : public PrefsFixture {
protected:
    GeneralPreferencesController &pane()
    {
        if (!window)
            openWindow(PreferencesController::GeneralTag);
        return *window->generalPreferencesController();
    }
    void writeVantrelDesktopFile()
    {
        XdgSandbox::writeApplication(sandbox.userApplications(), u"org.vantrel.Vantrel.desktop"_s,
                                     u"Vantrel"_s, {feedMime});
    }
};

TEST_F(GeneralPaneTest, EveryKeystrokeInALimitFieldStoresTheNumberAndReloadsEveryFeed)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s), {}, 5);
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s), {}, 4);
    pane();
    auto *limit = find<QLineEdit>(u"limitTextField"_s);
    EXPECT_EQ(limit->text(), u"500"_s);
    limit->clear();
    QTest::keyClicks(limit, u"2"_s);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::limit), 2);
    EXPECT_EQ(source(0)->numberOfItems(), 2);
    EXPECT_EQ(source(1)->numberOfItems(), 2);
    QTest::keyClicks(limit, u"x"_s);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::limit), 2);
    QTest::keyClick(limit, Qt::Key_Backspace);
    QTest::keyClick(limit, Qt::Key_Backspace);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::limit), 0);
    EXPECT_EQ(source(0)->numberOfItems(), 5); // 0 means no limit

    auto *ageLimit = find<QLineEdit>(u"ageLimitTextField"_s);
    ageLimit->clear();
    QTest::keyClicks(ageLimit, u"30 days"_s);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::ageLimit), 30);
}

TEST_F(GeneralPaneTest, OnlyALineEndSeparatesKeywords)
{
    pane();
    auto *keywords = find<QPlainTextEdit>(u"keywordsTokenField"_s);
    QTest::keyClicks(keywords, u"breaking news, today"_s);
    QTest::keyClick(keywords, Qt::Key_Return);
    QTest::keyClick(keywords, Qt::Key_Return);
    QTest::keyClicks(keywords, u"Apple"_s);
    EXPECT_EQ(defaults.objectForKey(SettingsKey::keywords).toStringList(),
              (QStringList{u"breaking news, today"_s, u"Apple"_s}));

    defaults.setObject(QStringList{u"storm"_s, u"festival"_s}, SettingsKey::keywords);
    EXPECT_EQ(keywords->toPlainText(), u"storm\nfestival"_s);
}

TEST_F(GeneralPaneTest, TheSoundListIsThePlayersAndThePlayButtonPlaysTheChosenSound)
{
    pane();
    auto *sounds = find<QComboBox>(u"soundPopUpButton"_s);
    ASSERT_EQ(sounds->count(), player.soundNames().size());
    EXPECT_EQ(sounds->currentText(), u"Submarine"_s);
    sounds->setFocus();
    QTest::keyClick(sounds, Qt::Key_Up);
    const QString chosen = sounds->currentText();
    EXPECT_NE(chosen, u"Submarine"_s);
    EXPECT_EQ(defaults.stringForKey(SettingsKey::soundName), chosen);

    QSignalSpy played(&player, &SoundPlayer::played);
    QSignalSpy failed(&player, &SoundPlayer::playFailed);
    QTest::mouseClick(find<QPushButton>(u"playSoundButton"_s), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return played.size() + failed.size() == 1; }));
    EXPECT_EQ((played.isEmpty() ? failed : played).at(0).at(0).toString(), chosen);

    clickBox(find<QCheckBox>(u"alwaysPlaySoundButton"_s));
    EXPECT_TRUE(defaults.boolForKey(SettingsKey::alwaysPlaySound));
}

TEST_F(GeneralPaneTest, TheLoginCheckboxAddsAndRemovesTheAutostartEntry)
{
    writeVantrelDesktopFile();
    pane();
    auto *openAtLogin = find<QCheckBox>(u"openAtLoginButton"_s);
    EXPECT_FALSE(openAtLogin->isChecked());
    clickBox(openAtLogin);
    EXPECT_TRUE(pane().openAtLogin());
    EXPECT_TRUE(QFile::exists(XdgAutostart::userFolder() + u"/org.vantrel.Vantrel.desktop"_s));
    clickBox(openAtLogin);
    EXPECT_FALSE(pane().openAtLogin());
    EXPECT_FALSE(openAtLogin->isChecked());
}

TEST_F(GeneralPaneTest, AFailedLoginChangeIsReportedAndTheCheckboxShowsTheTruth)
{
    pane(); // no desktop file for the entry to be made from
    auto *openAtLogin = find<QCheckBox>(u"openAtLoginButton"_s);
    clickBox(openAtLogin);
    EXPECT_FALSE(openAtLogin->isChecked());
    EXPECT_EQ(alerts(), QStringList{u"Vantrel could not be set to start at login."_s});
}

TEST_F(GeneralPaneTest, TheFeedReaderListNamesEveryHandlerAndMakesTheChosenOneTheDefault)
{
    writeVantrelDesktopFile();
    XdgSandbox::writeApplication(sandbox.userApplications(), u"org.example.Reader.desktop"_s,
                                 u"Example Reader"_s, {feedMime});
    ASSERT_TRUE(handlers.setDefaultHandler(u"feed"_s, u"org.example.Reader.desktop"_s, nullptr));
    GeneralPreferencesController &general = pane();
    auto *readers = find<QComboBox>(u"rssReadersPopupButton"_s);
    ASSERT_EQ(general.rssReaders().size(), 2);
    EXPECT_EQ(readers->currentData().toString(), u"org.example.Reader.desktop"_s);
    EXPECT_EQ(readers->currentText(), u"Example Reader"_s);

    QTest::mouseClick(find<QPushButton>(u"makeDefaultReaderButton"_s), Qt::LeftButton);
    EXPECT_EQ(handlers.defaultHandler(u"feed"_s), u"org.vantrel.Vantrel.desktop"_s);
    EXPECT_EQ(readers->currentText(), u"Vantrel"_s);

    readers->setFocus();
    const int other = 1 - readers->currentIndex();
    QTest::keyClick(readers, other > readers->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(handlers.defaultHandler(u"feed"_s), general.rssReaders().at(other));
}

TEST_F(GeneralPaneTest, WithoutAnyFeedReaderTheListStaysEmpty)
{
    GeneralPreferencesController &general = pane();
    EXPECT_TRUE(general.rssReaders().isEmpty());
    EXPECT_EQ(find<QComboBox>(u"rssReadersPopupButton"_s)->count(), 0);
}

} // namespace
