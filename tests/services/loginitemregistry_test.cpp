#include "common/qtprinters.h"
#include "common/xdgsandbox.h"
#include "platform/desktop/applicationdesktopfile.h"
#include "platform/desktop/xdgautostart.h"
#include "services/loginitems/loginitemregistry.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class LoginItemRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(ApplicationDesktopFile::install(u"/usr/bin/vantrel"_s, &error));
        vantrel = ApplicationDesktopFile::userPath();
        other =
            XdgSandbox::writeApplication(sandbox.userApplications(), u"aaa-other.desktop"_s, u"Other"_s, {});
    }

    XdgSandbox sandbox;
    XdgAutostart autostart;
    LoginItemRegistry registry{autostart};
    QString vantrel;
    QString other;
};

} // namespace

TEST_F(LoginItemRegistryTest, anAddedApplicationIsFoundByItsDesktopFile)
{
    EXPECT_EQ(registry.indexForLoginItemWithPath(vantrel), -1);
    ASSERT_TRUE(registry.addLoginItemWithPath(other, false));
    ASSERT_TRUE(registry.addLoginItemWithPath(vantrel, false));

    EXPECT_EQ(registry.indexForLoginItemWithPath(vantrel), 1);
    EXPECT_EQ(registry.indexForLoginItemWithURL(QUrl::fromLocalFile(vantrel)), 1);
    const QString entry = XdgAutostart::userFolder() + u"/org.vantrel.Vantrel.desktop"_s;
    EXPECT_EQ(registry.indexForLoginItemWithPath(entry), 1);

    const auto items = registry.allLoginItems();
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2);
    EXPECT_EQ(items->at(1).value(LoginItemRegistry::urlKey).toUrl(), QUrl::fromLocalFile(entry));
    EXPECT_EQ(items->at(1).value(LoginItemRegistry::hiddenKey), QVariant(false));
}

TEST_F(LoginItemRegistryTest, removingFindsTheItemFirstAndLeavesTheOthers)
{
    ASSERT_TRUE(registry.addLoginItemWithPath(other, true));
    EXPECT_FALSE(registry.removeLoginItemWithPath(vantrel));
    EXPECT_EQ(registry.allLoginItems()->size(), 1);

    ASSERT_TRUE(registry.addLoginItemWithPath(vantrel, false));
    ASSERT_TRUE(registry.removeLoginItemWithPath(vantrel));
    EXPECT_EQ(registry.indexForLoginItemWithPath(vantrel), -1);
    EXPECT_FALSE(QFile::exists(XdgAutostart::userFolder() + u"/org.vantrel.Vantrel.desktop"_s));
    const auto items = registry.allLoginItems();
    ASSERT_EQ(items->size(), 1);
    EXPECT_EQ(items->at(0).value(LoginItemRegistry::hiddenKey), QVariant(true));
}

TEST_F(LoginItemRegistryTest, whatIsNotThereCannotBeAddedOrRemoved)
{
    EXPECT_FALSE(registry.addLoginItemWithPath(sandbox.userApplications() + u"/missing.desktop"_s, false));
    EXPECT_FALSE(registry.addLoginItemWithURL(QUrl(u"https://example.org/app.desktop"_s), false));
    EXPECT_FALSE(registry.removeLoginItemAtIndex(0));
    EXPECT_FALSE(registry.removeLoginItemAtIndex(-1));
    EXPECT_EQ(registry.indexForLoginItemWithURL(QUrl(u"https://example.org/org.vantrel.Vantrel.desktop"_s)),
              -1);
    EXPECT_EQ(registry.allLoginItems()->size(), 0);
}
