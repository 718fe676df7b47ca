#include "capturedwarnings.h"
#include "common/temphome.h"

#include "platform/paths.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PathsTest, foldersFollowTheXdgVariablesAndAreCreatedWithTheirParents)
{
    TempHome home;
    ASSERT_FALSE(QDir(home.cacheHome()).exists());
    EXPECT_EQ(Paths::cachesFolder(), home.cacheHome() + u"/org.vantrel.Vantrel"_s);
    EXPECT_EQ(Paths::configFolder(), home.configHome() + u"/vantrel"_s);
    EXPECT_TRUE(QDir(home.cacheHome() + u"/org.vantrel.Vantrel"_s).exists());
    EXPECT_TRUE(QDir(home.configHome() + u"/vantrel"_s).exists());
}

TEST(PathsTest, aFolderBelowAFileCannotBeCreated)
{
    TempHome home;
    QFile file(home.path() + u"/file"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    CapturedWarnings warnings;
    EXPECT_FALSE(Paths::ensureFolder(file.fileName() + u"/sub"_s));
    EXPECT_TRUE(warnings.joined().contains(file.fileName() + u"/sub"_s));
}

TEST(PathsTest, unsetOrRelativeXdgVariablesFallBackToTheHomeFolder)
{
    TempHome home;
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(Paths::configFolder(), home.path() + u"/.config/vantrel"_s);
    EXPECT_EQ(Paths::cachesFolder(), home.path() + u"/.cache/org.vantrel.Vantrel"_s);
}

} // namespace
