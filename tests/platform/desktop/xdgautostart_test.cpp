#include "platform/desktop/applicationdesktopfile.h"
#include "platform/desktop/keyfile.h"
#include "platform/desktop/xdgautostart.h"

#include "common/qtprinters.h"
#include "common/xdgsandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString group = u"Desktop Entry"_s;

KeyFile readKeyFile(const QString &path)
{
    return KeyFile::read(path, false, nullptr).value_or(KeyFile());
}

QStringList ids(const std::optional<QList<AutostartEntries::Entry>> &entries)
{
    QStringList found;
    for (const AutostartEntries::Entry &entry : entries.value_or(QList<AutostartEntries::Entry>()))
        found.append(entry.id);
    return found;
}

ino_t inode(const QString &path)
{
    struct stat status {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// desktop-file-validate's complaints, or "" when it is not installed.
QString validationErrors(const QString &path)
{
    if (QStandardPaths::findExecutable(u"desktop-file-validate"_s).isEmpty())
        return {};
    QProcess process;
    process.start(u"desktop-file-validate"_s, {path});
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
}

class XdgAutostartTest : public ::testing::Test {
protected:
    QString application(const QString &id, const QString &name)
    {
        return XdgSandbox::writeApplication(sandbox.userApplications(), id, name, {});
    }

    XdgSandbox sandbox;
    XdgAutostart autostart;
    QString error;
};

} // namespace

TEST_F(XdgAutostartTest, anAddedApplicationStartsAtLoginFromItsOwnEntry)
{
    const QString desktopFile = application(u"reader.desktop"_s, u"Reader"_s);
    ASSERT_TRUE(autostart.add(desktopFile, false, &error)) << error.toStdString();

    const QString entryPath = sandbox.configHome() + u"/autostart/reader.desktop"_s;
    const KeyFile entry = readKeyFile(entryPath);
    EXPECT_EQ(entry.string(group, u"Name"_s), u"Reader"_s);
    EXPECT_EQ(entry.string(group, u"Exec"_s), u"/bin/true %u"_s);
    EXPECT_EQ(entry.string(group, u"X-GNOME-Autostart-enabled"_s), u"true"_s);
    EXPECT_FALSE(entry.contains(group, XdgAutostart::startHiddenKey));
    EXPECT_EQ(validationErrors(entryPath), QString());

    const auto entries = autostart.entries(&error);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1);
    EXPECT_EQ(entries->at(0).id, u"reader.desktop"_s);
    EXPECT_EQ(entries->at(0).path, entryPath);
    EXPECT_FALSE(entries->at(0).startHidden);
    // Written through a temporary file that is gone afterwards.
    EXPECT_EQ(QDir(XdgAutostart::userFolder()).entryList(QDir::Files), QStringList{u"reader.desktop"_s});
}

TEST_F(XdgAutostartTest, addingAgainReplacesTheEntryAndCarriesTheHiddenFlag)
{
    const QString desktopFile = application(u"reader.desktop"_s, u"Reader"_s);
    XdgSandbox::writeFile(XdgAutostart::userFolder() + u"/reader.desktop"_s,
                          "[Desktop Entry]\nType=Application\nExec=old\nHidden=true\n");
    EXPECT_TRUE(ids(autostart.entries(&error)).isEmpty());

    ASSERT_TRUE(autostart.add(desktopFile, true, &error));
    const auto entries = autostart.entries(&error);
    ASSERT_EQ(ids(entries), QStringList{u"reader.desktop"_s});
    EXPECT_TRUE(entries->at(0).startHidden);
    EXPECT_FALSE(readKeyFile(entries->at(0).path).contains(group, u"Hidden"_s));

    ASSERT_TRUE(autostart.add(desktopFile, false, &error));
    EXPECT_FALSE(autostart.entries(&error)->at(0).startHidden);
}

TEST_F(XdgAutostartTest, listsEnabledEntriesOfUserAndSystemByIdTheUsersOverriding)
{
    const QString system = sandbox.systemConfig() + u"/autostart/"_s;
    XdgSandbox::writeFile(system + u"b-system.desktop"_s, "[Desktop Entry]\nType=Application\nExec=b\n");
    XdgSandbox::writeFile(system + u"c-overridden.desktop"_s, "[Desktop Entry]\nType=Application\nExec=c\n");
    XdgSandbox::writeFile(system + u"d-off.desktop"_s,
                          "[Desktop Entry]\nType=Application\nExec=d\nX-GNOME-Autostart-enabled=false\n");
    XdgSandbox::writeFile(XdgAutostart::userFolder() + u"/c-overridden.desktop"_s,
                          "[Desktop Entry]\nType=Application\nExec=c\nHidden=true\n");
    XdgSandbox::writeFile(XdgAutostart::userFolder() + u"/a-user.desktop"_s,
                          "[Desktop Entry]\nType=Application\nExec=a\n");
    XdgSandbox::writeFile(XdgAutostart::userFolder() + u"/notes.txt"_s, "not an entry");
    EXPECT_EQ(ids(autostart.entries(&error)), (QStringList{u"a-user.desktop"_s, u"b-system.desktop"_s}));
}

TEST_F(XdgAutostartTest, removingDeletesTheUsersEntryButHidesASystemOne)
{
    ASSERT_TRUE(autostart.add(application(u"reader.desktop"_s, u"Reader"_s), false, &error));
    ASSERT_TRUE(autostart.remove(u"reader.desktop"_s, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(XdgAutostart::userFolder() + u"/reader.desktop"_s));
    EXPECT_FALSE(autostart.remove(u"reader.desktop"_s, &error));
    EXPECT_FALSE(error.isEmpty());

    XdgSandbox::writeFile(sandbox.systemConfig() + u"/autostart/agent.desktop"_s,
                          "[Desktop Entry]\nType=Application\nName=Agent\nExec=agent\n");
    ASSERT_TRUE(autostart.remove(u"agent.desktop"_s, &error));
    EXPECT_TRUE(
        readKeyFile(XdgAutostart::userFolder() + u"/agent.desktop"_s).boolean(group, u"Hidden"_s, false));
    EXPECT_TRUE(ids(autostart.entries(&error)).isEmpty());
    EXPECT_FALSE(autostart.remove(u"../agent.desktop"_s, &error));
}

TEST_F(XdgAutostartTest, onlyApplicationDesktopFilesCanBeAdded)
{
    const QString link = XdgSandbox::writeFile(sandbox.userApplications() + u"/site.desktop"_s,
                                               "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
    const QString program = XdgSandbox::writeFile(sandbox.path() + u"/program"_s, "#!/bin/sh\n");
    EXPECT_FALSE(autostart.add(link, false, &error));
    EXPECT_FALSE(autostart.add(program, false, &error));
    EXPECT_FALSE(autostart.add(sandbox.userApplications() + u"/missing.desktop"_s, false, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QDir(XdgAutostart::userFolder()).exists());
}

TEST(ApplicationDesktopFileTest, quotesTheProgramAsDesktopFilesRequire)
{
    EXPECT_EQ(ApplicationDesktopFile::execArgument(u"/usr/bin/vantrel"_s), u"/usr/bin/vantrel"_s);
    EXPECT_EQ(ApplicationDesktopFile::execArgument(u"/opt/My Apps/vantrel"_s), u"\"/opt/My Apps/vantrel\""_s);
    EXPECT_EQ(ApplicationDesktopFile::execArgument(u"/tmp/a\"b$c`d\\e%f"_s),
              u"\"/tmp/a\\\"b\\$c\\`d\\\\e%%f\""_s);
}

TEST(ApplicationDesktopFileTest, installsAValidHandlerOfFeedLinksForTheUser)
{
    XdgSandbox sandbox;
    const QString program = u"/opt/News Apps/vantrel"_s;
    QString error;
    ASSERT_TRUE(ApplicationDesktopFile::install(program, &error)) << error.toStdString();
    const QString path = ApplicationDesktopFile::userPath();
    EXPECT_EQ(path, sandbox.userApplications() + u"/org.vantrel.Vantrel.desktop"_s);
    EXPECT_EQ(validationErrors(path), QString());

    const KeyFile file = readKeyFile(path);
    EXPECT_EQ(file.list(group, u"MimeType"_s), QStringList{u"x-scheme-handler/feed"_s});
    EXPECT_EQ(file.string(group, u"Exec"_s), u"\"/opt/News Apps/vantrel\" %u"_s);

    // An unchanged file is not written again.
    const ino_t written = inode(path);
    ASSERT_TRUE(ApplicationDesktopFile::install(program, &error));
    EXPECT_EQ(inode(path), written);
    ASSERT_TRUE(ApplicationDesktopFile::install(u"/usr/bin/vantrel"_s, &error));
    EXPECT_EQ(readKeyFile(path).string(group, u"Exec"_s), u"/usr/bin/vantrel %u"_s);
}
