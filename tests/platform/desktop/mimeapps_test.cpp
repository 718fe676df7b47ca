#include "platform/desktop/desktopapplications.h"
#include "platform/desktop/mimeapps.h"
#include "platform/desktop/xdgurlschemehandlers.h"

#include "common/qtprinters.h"
#include "common/xdgsandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString feedType = u"x-scheme-handler/feed"_s;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sandbox's feed readers: two system applications and one of the user's.
class MimeAppsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        XdgSandbox::writeApplication(sandbox.systemApplications(), u"alpha.desktop"_s, u"Alpha"_s,
                                     {feedType});
        XdgSandbox::writeApplication(sandbox.systemApplications(), u"beta.desktop"_s, u"Beta"_s,
                                     {u"text/html"_s, feedType});
        XdgSandbox::writeApplication(sandbox.userApplications(), u"zed.desktop"_s, u"Zed"_s, {feedType});
    }

    QString defaultFeedReader() const
    {
        return MimeApps::defaultApplication(feedType, DesktopApplications());
    }
    QStringList feedReaders() const { return MimeApps::applications(feedType, DesktopApplications()); }

    XdgSandbox sandbox;
};

} // namespace

TEST_F(MimeAppsTest, listsEveryApplicationThatDeclaresTheTypeUserFolderFirst)
{
    XdgSandbox::writeApplication(sandbox.systemApplications(), u"viewer.desktop"_s, u"Viewer"_s,
                                 {u"image/png"_s});
    EXPECT_EQ(feedReaders(), (QStringList{u"zed.desktop"_s, u"alpha.desktop"_s, u"beta.desktop"_s}));
    EXPECT_EQ(MimeApps::applications(u"image/png"_s, DesktopApplications()),
              QStringList{u"viewer.desktop"_s});
    EXPECT_TRUE(MimeApps::applications(u"x-scheme-handler/gopher"_s, DesktopApplications()).isEmpty());
}

TEST_F(MimeAppsTest, desktopFilesThatCannotRunAreLeftOut)
{
    XdgSandbox::writeFile(sandbox.userApplications() + u"/alpha.desktop"_s, "[Desktop Entry]\nHidden=true\n");
    XdgSandbox::writeFile(sandbox.systemApplications() + u"/link.desktop"_s,
                          "[Desktop Entry]\nType=Link\nURL=http://x/\nMimeType=x-scheme-handler/feed;\n");
    XdgSandbox::writeFile(sandbox.systemApplications() + u"/gone.desktop"_s,
                          "[Desktop Entry]\nType=Application\nExec=gone\nTryExec=/nonexistent/gone\n"
                          "MimeType=x-scheme-handler/feed;\n");
    XdgSandbox::writeApplication(sandbox.systemApplications() + u"/vendor"_s, u"sub.desktop"_s, u"Sub"_s,
                                 {feedType});
    EXPECT_EQ(feedReaders(), (QStringList{u"zed.desktop"_s, u"beta.desktop"_s, u"vendor-sub.desktop"_s}));
}

TEST_F(MimeAppsTest, defaultComesFromTheFirstListFileThatNamesAnInstalledApplication)
{
    // Without any mimeapps.list the first declaring application is the default, as xdg-mime finds it.
    EXPECT_EQ(defaultFeedReader(), u"zed.desktop"_s);

    XdgSandbox::writeFile(sandbox.systemApplications() + u"/mimeapps.list"_s,
                          "[Default Applications]\nx-scheme-handler/feed=beta.desktop;\n");
    EXPECT_EQ(defaultFeedReader(), u"beta.desktop"_s);

    // An uninstalled application is passed over for the next one of the same entry.
    XdgSandbox::writeFile(sandbox.configHome() + u"/mimeapps.list"_s,
                          "[Default Applications]\nx-scheme-handler/feed=missing.desktop;alpha.desktop;\n");
    EXPECT_EQ(defaultFeedReader(), u"alpha.desktop"_s);

    // The desktop's own list comes before the general one.
    qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
    XdgSandbox::writeFile(sandbox.configHome() + u"/other-mimeapps.list"_s,
                          "[Default Applications]\nx-scheme-handler/feed=zed.desktop\n");
    EXPECT_EQ(defaultFeedReader(), u"zed.desktop"_s);
    XdgSandbox::writeFile(sandbox.configHome() + u"/test-mimeapps.list"_s,
                          "[Default Applications]\nx-scheme-handler/feed=beta.desktop\n");
    EXPECT_EQ(defaultFeedReader(), u"beta.desktop"_s);
}

TEST_F(MimeAppsTest, addedAndRemovedAssociationsChangeTheList)
{
    XdgSandbox::writeApplication(sandbox.systemApplications(), u"plain.desktop"_s, u"Plain"_s, {});
    XdgSandbox::writeFile(sandbox.configHome() + u"/mimeapps.list"_s,
                          "[Added Associations]\nx-scheme-handler/feed=plain.desktop;\n"
                          "[Removed Associations]\nx-scheme-handler/feed=zed.desktop;alpha.desktop;\n");
    EXPECT_EQ(feedReaders(), (QStringList{u"plain.desktop"_s, u"beta.desktop"_s}));
    EXPECT_EQ(defaultFeedReader(), u"plain.desktop"_s);
}

TEST_F(MimeAppsTest, settingTheDefaultKeepsTheRestOfTheUsersFile)
{
    const QString path = sandbox.configHome() + u"/mimeapps.list"_s;
    XdgSandbox::writeFile(path, "# mine\n[Default Applications]\ntext/html=beta.desktop;\n\n"
                                "[Added Associations]\nimage/png=alpha.desktop;\n");
    QString error;
    ASSERT_TRUE(MimeApps::setDefaultApplication(feedType, u"alpha.desktop"_s, &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), "# mine\n[Default Applications]\ntext/html=beta.desktop;\n"
                              "x-scheme-handler/feed=alpha.desktop;\n\n"
                              "[Added Associations]\nimage/png=alpha.desktop;\n");
    EXPECT_EQ(defaultFeedReader(), u"alpha.desktop"_s);

    ASSERT_TRUE(MimeApps::setDefaultApplication(feedType, u"zed.desktop"_s, &error));
    EXPECT_EQ(defaultFeedReader(), u"zed.desktop"_s);
    EXPECT_EQ(QDir(sandbox.configHome()).entryList(QDir::Files), QStringList{u"mimeapps.list"_s});
}

TEST_F(MimeAppsTest, refusesNamesThatWouldBreakTheFileAndFilesItCannotRead)
{
    QString error;
    for (const QString &id : {u""_s, u"a.desktop\nx-scheme-handler/http=evil.desktop"_s, u"a;b.desktop"_s,
                              u"../a.desktop"_s, u"[Group].desktop"_s, u"noextension"_s}) {
        EXPECT_FALSE(MimeApps::setDefaultApplication(feedType, id, &error)) << id.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(MimeApps::setDefaultApplication(u"feed=x"_s, u"a.desktop"_s, &error));
    EXPECT_FALSE(QFile::exists(sandbox.configHome() + u"/mimeapps.list"_s));

    // A list file that exists but cannot be read is not replaced by one without its content.
    QDir().mkpath(sandbox.configHome() + u"/mimeapps.list"_s);
    EXPECT_FALSE(MimeApps::setDefaultApplication(feedType, u"alpha.desktop"_s, &error));
    EXPECT_TRUE(QFileInfo(sandbox.configHome() + u"/mimeapps.list"_s).isDir());
}

TEST_F(MimeAppsTest, schemeHandlersAnswerForTheSchemeWithNamesAndFiles)
{
    XdgUrlSchemeHandlers handlers;
    EXPECT_EQ(handlers.allHandlers(u"feed"_s), feedReaders());
    EXPECT_EQ(handlers.defaultHandler(u"FEED"_s), u"zed.desktop"_s);
    EXPECT_EQ(handlers.displayName(u"beta.desktop"_s), u"Beta"_s);
    EXPECT_EQ(handlers.applicationPath(u"beta.desktop"_s), sandbox.systemApplications() + u"/beta.desktop"_s);
    EXPECT_TRUE(handlers.displayName(u"missing.desktop"_s).isEmpty());
    QString error;
    ASSERT_TRUE(handlers.setDefaultHandler(u"feed"_s, u"beta.desktop"_s, &error));
    EXPECT_EQ(handlers.defaultHandler(u"feed"_s), u"beta.desktop"_s);
}

// The same answers as the desktop's own tool, where it is installed. xdg-mime reads the
// mimeinfo.cache files that update-desktop-database writes, so both are run first.
class XdgMimeAgreementTest : public MimeAppsTest {
protected:
    void SetUp() override
    {
        MimeAppsTest::SetUp();
        if (QStandardPaths::findExecutable(u"xdg-mime"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"update-desktop-database"_s).isEmpty())
            GTEST_SKIP() << "xdg-utils or desktop-file-utils is not installed";
        for (const QString &folder : {sandbox.userApplications(), sandbox.systemApplications()})
            ASSERT_EQ(QProcess::execute(u"update-desktop-database"_s, {folder}), 0);
    }

    static QString run(const QStringList &arguments)
    {
        QProcess process;
        process.start(u"xdg-mime"_s, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
};

TEST_F(XdgMimeAgreementTest, findsTheSameDefault)
{
    EXPECT_EQ(defaultFeedReader(), run({u"query"_s, u"default"_s, feedType}));
    XdgSandbox::writeFile(sandbox.systemApplications() + u"/mimeapps.list"_s,
                          "[Default Applications]\nx-scheme-handler/feed=beta.desktop\n");
    EXPECT_EQ(defaultFeedReader(), u"beta.desktop"_s);
    EXPECT_EQ(run({u"query"_s, u"default"_s, feedType}), u"beta.desktop"_s);
}

TEST_F(XdgMimeAgreementTest, eachReadsWhatTheOtherWrites)
{
    run({u"default"_s, u"alpha.desktop"_s, feedType});
    EXPECT_EQ(defaultFeedReader(), u"alpha.desktop"_s);

    QString error;
    ASSERT_TRUE(MimeApps::setDefaultApplication(feedType, u"beta.desktop"_s, &error));
    EXPECT_EQ(run({u"query"_s, u"default"_s, feedType}), u"beta.desktop"_s);
}
