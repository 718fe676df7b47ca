#include "app/fixedzoomtextbrowser.h"
#include "app/whatsnewcheck.h"
#include "common/temphome.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(WhatsNewCheckTest, versionsCompareByTheirLeadingDigits)
{
    EXPECT_EQ(WhatsNewCheck::numericValue(u"100"_s), 100);
    EXPECT_EQ(WhatsNewCheck::numericValue(u"12b"_s), 12);
    EXPECT_EQ(WhatsNewCheck::numericValue(u"1.9"_s), 1);
    EXPECT_EQ(WhatsNewCheck::numericValue(u"beta"_s), 0);
    EXPECT_EQ(WhatsNewCheck::numericValue(QString()), 0);
    EXPECT_EQ(WhatsNewCheck::numericValue(u"99999999999999999999"_s), std::numeric_limits<int>::max());
}

TEST(WhatsNewCheckTest, eachLaunchRecordsItsVersionAndOnlyAHigherOneIsAnUpgrade)
{
    TempHome home;
    UserDefaults defaults(home.configHome() + u"/vantrel"_s);
    EXPECT_TRUE(WhatsNewCheck::recordLaunch(defaults, u"100"_s)); // first launch
    EXPECT_EQ(defaults.stringForKey(SettingsKey::prevVersion), u"100"_s);
    EXPECT_FALSE(WhatsNewCheck::recordLaunch(defaults, u"100"_s));
    EXPECT_FALSE(WhatsNewCheck::recordLaunch(defaults, u"7"_s));
    EXPECT_EQ(defaults.stringForKey(SettingsKey::prevVersion), u"7"_s);
    EXPECT_TRUE(WhatsNewCheck::recordLaunch(defaults, u"8"_s));
    // A version that is no number counts as 0: it never asks for the notes.
    EXPECT_FALSE(WhatsNewCheck::recordLaunch(defaults, u"nightly"_s));
}

TEST(FixedZoomTextBrowserTest, staysAt102PercentWhateverTheUserDoes)
{
    FixedZoomTextBrowser browser;
    browser.setHtml(u"<p>Release notes</p>"_s);
    browser.show();
    const qreal shown = browser.documentPointSize();
    EXPECT_DOUBLE_EQ(shown, QApplication::font().pointSizeF() * 1.02);
    EXPECT_DOUBLE_EQ(FixedZoomTextBrowser::scaleFactorFor(4.0), 1.02);

    QWheelEvent wheel(QPointF(10, 10), browser.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(browser.viewport(), &wheel);
    QTest::keyClick(&browser, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&browser, Qt::Key_Minus, Qt::ControlModifier);
    browser.zoomIn(5);
    browser.zoomOut(2);
    EXPECT_DOUBLE_EQ(browser.documentPointSize(), shown);
}
