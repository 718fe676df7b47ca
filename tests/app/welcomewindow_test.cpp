#include "delegatefixture.h"

#include "app/welcomewindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

WelcomeWindow *welcomeWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *welcome = qobject_cast<WelcomeWindow *>(widget); welcome && welcome->isVisible())
            return welcome;
    }
    return nullptr;
}

} // namespace

TEST_F(DelegateTest, theWelcomeOffersImportAddOrTheDefaultFeeds)
{
    launch();
    delegate->showWelcome();
    QPointer<WelcomeWindow> welcome = welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    welcome->findChild<QPushButton *>(u"welcomeImport"_s)->click();
    EXPECT_EQ(preferences.calls, QStringList({u"show"_s, u"import"_s}));
    EXPECT_TRUE(welcome.isNull() || !welcome->isVisible());

    preferences.calls.clear();
    delegate->showWelcome();
    welcome = welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    QTest::keyClicks(welcome->findChild<QLineEdit *>(u"welcomeAddress"_s), u"feed:file:///etc/passwd"_s);
    welcome->findChild<QPushButton *>(u"welcomeAdd"_s)->click();
    EXPECT_TRUE(preferences.calls.isEmpty());
    EXPECT_FALSE(welcome->findChild<QLabel *>(u"welcomeProblem"_s)->isHidden());

    welcome->findChild<QLineEdit *>(u"welcomeAddress"_s)->setText(u"https://example.org/feed.xml"_s);
    welcome->findChild<QPushButton *>(u"welcomeAdd"_s)->click();
    EXPECT_EQ(preferences.calls, QStringList({u"show"_s, u"add https://example.org/feed.xml"_s}));

    preferences.calls.clear();
    delegate->showWelcome();
    welcomeWindow()->findChild<QPushButton *>(u"welcomeDefaults"_s)->click();
    EXPECT_TRUE(preferences.calls.isEmpty());
    EXPECT_EQ(welcomeWindow(), nullptr);
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::feeds), QVariantList()); // nothing unsubscribed or added
}
