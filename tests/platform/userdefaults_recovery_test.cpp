#include "capturedwarnings.h"
#include "common/temphome.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct DamagedFile {
    const char *name;
    QByteArray contents;
};

void PrintTo(const DamagedFile &file, std::ostream *out)
{
    *out << file.name;
}

QByteArray validDocument()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           " <key>soundName</key>\n <string>Glass</string>\n"
           " <key>limit</key>\n <integer>20</integer>\n</dict>\n</plist>\n";
}

QByteArray nested(int depth)
{
    return "<plist><dict><key>deep</key>" + QByteArray("<array>").repeated(depth) +
           QByteArray("</array>").repeated(depth) + "</dict></plist>";
}

class SettingsFileRecoveryTest : public ::testing::TestWithParam<DamagedFile> {
protected:
    QString folder() const { return home.configHome() + u"/vantrel"_s; }
    QString filePath() const { return folder() + u"/settings.plist"_s; }

    void writeSettingsFile(const QByteArray &contents) const
    {
        QDir().mkpath(folder());
        QFile file(filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QStringList setAsideFiles() const
    {
        return QDir(folder()).entryList({u"settings.plist.damaged-*"_s}, QDir::Files);
    }

    TempHome home;
};

TEST_P(SettingsFileRecoveryTest, isMovedAsideAndTheStoreStartsFromTheDefaults)
{
    writeSettingsFile(GetParam().contents);
    CapturedWarnings warnings;
    UserDefaults store(folder());
    store.registerDefaults({{SettingsKey::limit, 500}});

    EXPECT_EQ(store.integerForKey(SettingsKey::limit), 500);
    EXPECT_FALSE(store.objectForKey(SettingsKey::soundName).isValid());
    EXPECT_EQ(store.fileState(), SettingsFile::ReadState::SetAside);

    const QStringList setAside = setAsideFiles();
    ASSERT_EQ(setAside.size(), 1);
    QFile damaged(folder() + u'/' + setAside.first());
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), GetParam().contents);
    EXPECT_TRUE(warnings.joined().contains(setAside.first())) << warnings.joined().toStdString();

    store.setObject(u"Glass"_s, SettingsKey::soundName);
    ASSERT_TRUE(store.synchronize()) << store.errorString().toStdString();
    EXPECT_EQ(UserDefaults(folder()).stringForKey(SettingsKey::soundName), u"Glass"_s);
    EXPECT_EQ(setAsideFiles().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedSettings, SettingsFileRecoveryTest,
    ::testing::Values(
        DamagedFile{"empty", QByteArray("")},
        DamagedFile{"truncated", validDocument().left(validDocument().size() / 2)},
        DamagedFile{"missingPlistEnd", validDocument().replace("</plist>", "")},
        DamagedFile{"json", QByteArray(R"({"soundName": "Glass"})")},
        DamagedFile{"binary", QByteArray("\x00\xff\x13\x37garbage", 11)},
        DamagedFile{"rootIsArray", QByteArray("<plist><array/></plist>")},
        DamagedFile{"unknownElement", QByteArray("<plist><dict><key>a</key><url>x</url></dict></plist>")},
        DamagedFile{"keyWithoutValue", QByteArray("<plist><dict><key>a</key></dict></plist>")},
        DamagedFile{"badInteger",
                    QByteArray("<plist><dict><key>a</key><integer>12x</integer></dict></plist>")},
        DamagedFile{"badDate", QByteArray("<plist><dict><key>a</key><date>yesterday</date></dict></plist>")},
        DamagedFile{"badBase64", QByteArray("<plist><dict><key>a</key><data>%%%</data></dict></plist>")},
        DamagedFile{"elementInString",
                    QByteArray("<plist><dict><key>a</key><string>x<b/></string></dict></plist>")},
        DamagedFile{"tooDeep", nested(100000)}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

TEST(SettingsFileTest, theStoreSaysWhetherItsValuesCameFromASoundFile)
{
    TempHome home;
    const QString folder = home.configHome() + u"/vantrel"_s;
    {
        UserDefaults first(folder);
        EXPECT_EQ(first.fileState(), SettingsFile::ReadState::Absent);
        first.setObject(u"Glass"_s, SettingsKey::soundName);
        ASSERT_TRUE(first.synchronize());
    }
    EXPECT_EQ(UserDefaults(folder).fileState(), SettingsFile::ReadState::Sound);

    // A folder where the file belongs can be neither read nor replaced.
    QFile::remove(folder + u"/settings.plist"_s);
    QDir().mkpath(folder + u"/settings.plist"_s);
    UserDefaults blocked(folder);
    EXPECT_EQ(blocked.fileState(), SettingsFile::ReadState::Unreadable);
    blocked.setObject(u"Glass"_s, SettingsKey::soundName);
    EXPECT_FALSE(blocked.synchronize());
    EXPECT_TRUE(QFileInfo(folder + u"/settings.plist"_s).isDir());
}

TEST(SettingsFileTest, aLockLeftByAKilledWriterDoesNotBlockSaving)
{
    TempHome home;
    const QString folder = home.configHome() + u"/vantrel"_s;
    QDir().mkpath(folder);
    // Killed between creating the lock file and writing its owner into it.
    QFile lock(folder + u"/settings.plist.lock"_s);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60), QFileDevice::FileModificationTime);
    lock.close();

    UserDefaults store(folder);
    store.setObject(u"Glass"_s, SettingsKey::soundName);
    EXPECT_TRUE(store.synchronize()) << store.errorString().toStdString();
    EXPECT_TRUE(store.errorString().isEmpty());
}

} // namespace
