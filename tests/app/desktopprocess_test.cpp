#include "app/crashreporter.h"
#include "buildinfo.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/source/itemfile.h"
#include "platform/paths.h"
#include "platform/settingsfile.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString buildPath(const QString &relative)
{
    return QDir(QString::fromLocal8Bit(qgetenv("VANTREL_BINARY_DIR"))).filePath(relative);
}

// The desktop start of the program, with stand-in windows that print what they are asked.
class DesktopProcess {
public:
    explicit DesktopProcess(const QStringList &arguments = {})
    {
        m_process.setProgram(buildPath(u"tools/shellprobe/vantrel_shellprobe"_s));
        m_process.setArguments(arguments);
        m_process.start();
    }
    ~DesktopProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The number of headlines the program last published; 0 before the first.
    int headlines()
    {
        const QStringList lines = output().split(u'\n');
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            if (line->startsWith(u"headlines: "_s))
                return line->mid(11).toInt();
        }
        return 0;
    }

    bool waitForLine(const QString &line, int timeoutMs = 20000)
    {
        return waitFor([&] { return output().split(u'\n').contains(line); }, timeoutMs);
    }
    QString output()
    {
        m_output += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_output);
    }
    QString errorOutput()
    {
        m_errors += m_process.readAllStandardError();
        return QString::fromUtf8(m_errors);
    }
    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }
    // The exit status once the process ended by itself; -1 when it did not within the time.
    int waitForExit(int timeoutMs = 30000)
    {
        if (!m_process.waitForFinished(timeoutMs))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Finished {
    int exitCode;
    QString err;
};

Finished runToEnd(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class DesktopProcessTest : public testing::Test {
protected:
    DesktopProcessTest()
    {
        server.start();
        UserDefaults defaults(Paths::configFolder());
        defaults.setObject(u"127.0.0.1"_s, SettingsKey::reachabilityHost);
        defaults.setObject(u"100000"_s, SettingsKey::prevVersion); // no "What's New"
        QVariantList feeds;
        for (int i = 0; i < feedCount; ++i) {
            feeds.append(QVariantMap{
                {u"uuid"_s, uuid(i)},
                {u"url"_s, u"%1/rss/feed%2.xml"_s.arg(QString::fromStdString(server.baseUrl())).arg(i)}});
        }
        defaults.setObject(feeds, SettingsKey::feeds);
        EXPECT_TRUE(defaults.synchronize());
    }
    ~DesktopProcessTest() override { server.stop(); }

    static QString uuid(int i) { return u"FEED-%1"_s.arg(i); }

    // What a later start finds: a settings file that reads, no file set aside as damaged, and
    // every feed's entries as the command line lists them.
    void expectProfileIntact(int minimumEntries)
    {
        EXPECT_EQ(UserDefaults(Paths::configFolder()).fileState(), SettingsFile::ReadState::Sound);
        for (int i = 0; i < feedCount; ++i) {
            const ItemFile::Contents stored = ItemFile(uuid(i)).read();
            EXPECT_TRUE(stored.unreadable.isEmpty()) << stored.unreadable.toStdString();
            EXPECT_GE(stored.items.size(), minimumEntries) << uuid(i).toStdString();
        }
        QDirIterator files(home.path(), {u"*.damaged-*"_s}, QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        EXPECT_FALSE(files.hasNext()) << "set aside: " << files.next().toStdString();
        const Finished listed = runToEnd(buildPath(u"src/vantrel"_s), {u"--list-feeds"_s});
        EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    }

    static int storedEntries()
    {
        int stored = 0;
        for (int i = 0; i < feedCount; ++i)
            stored += int(ItemFile(uuid(i)).load().size());
        return stored;
    }

    static constexpr int feedCount = 12;
    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 300}};
};

TEST_F(DesktopProcessTest, aSecondStartHandsItsLinkToTheRunningProgramAndEnds)
{
    DesktopProcess first;
    ASSERT_TRUE(first.waitForLine(u"bar: front"_s)) << first.errorOutput().toStdString();

    const QString probe = buildPath(u"tools/shellprobe/vantrel_shellprobe"_s);
    EXPECT_EQ(runToEnd(probe, {u"feed:https://example.org/news.xml?a=1&b='2'"_s}).exitCode, 0);
    EXPECT_TRUE(first.waitForLine(u"preferences: add https://example.org/news.xml?a=1&b='2'"_s));

    const Finished refused = runToEnd(probe, {u"feed:file:///etc/passwd"_s});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(u"feed:file:///etc/passwd"_s)) << refused.err.toStdString();
    EXPECT_TRUE(waitFor([&] { return first.errorOutput().contains(u"feed:file:///etc/passwd"_s); }));
    EXPECT_FALSE(first.output().contains(u"file:///etc/passwd"_s));

    first.signal(SIGTERM);
    EXPECT_EQ(first.waitForExit(), 0) << first.errorOutput().toStdString();
}

TEST_F(DesktopProcessTest, theFirstStartOpensTheAddFeedFlowWithItsLink)
{
    DesktopProcess first({u"feed://example.org/rss"_s});
    EXPECT_TRUE(first.waitForLine(u"preferences: add http://example.org/rss"_s))
        << first.errorOutput().toStdString();
    first.signal(SIGTERM);
    EXPECT_EQ(first.waitForExit(), 0);
}

TEST_F(DesktopProcessTest, terminationAndLogoutSaveEveryFeedAndEndCleanly)
{
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        DesktopProcess program;
        ASSERT_TRUE(program.waitForLine(u"bar: front"_s));
        // The first refresh round comes after three seconds.
        ASSERT_TRUE(waitFor([&] { return program.headlines() > 0; }, 20000));
        program.signal(signalNumber);
        const int shown = program.headlines();
        EXPECT_EQ(program.waitForExit(), 0) << program.errorOutput().toStdString();
        EXPECT_GE(storedEntries(), shown);
        expectProfileIntact(0);
    }
}

// Killed outright while feeds refresh, and while it saves at quit, the program leaves every file
// whole. VANTREL_KILL_ROUNDS sets the rounds of each kind.
TEST_F(DesktopProcessTest, killedDuringRefreshOrDuringTheSaveItLosesNothing)
{
    const int rounds = qEnvironmentVariableIsSet("VANTREL_KILL_ROUNDS")
                           ? qEnvironmentVariableIntValue("VANTREL_KILL_ROUNDS")
                           : 4;
    int minimumEntries = 0;
    for (int round = 0; round < 2 * rounds; ++round) {
        SCOPED_TRACE(round);
        const bool duringSave = round % 2 == 1;
        server.advance(5); // something new to file and save in every round
        DesktopProcess program;
        ASSERT_TRUE(program.waitForLine(u"bar: front"_s));
        ASSERT_TRUE(waitFor([&] { return server.hits("/rss/feed0.xml") > round; }, 20000));
        if (duringSave) {
            program.signal(SIGTERM);
            QThread::msleep(unsigned(round * 7 % 60));
        } else {
            QThread::msleep(unsigned(round * 37 % 400));
        }
        program.signal(SIGKILL);
        program.waitForExit();
        expectProfileIntact(minimumEntries);
        if (::testing::Test::HasFailure())
            return;
        // Once a save has completed, what it saved stays.
        minimumEntries = int(ItemFile(uuid(0)).load().size());
    }
}

TEST_F(DesktopProcessTest, aCrashLeavesAReportAndTouchesNoSettingsOrHeadlines)
{
    const QByteArray settingsBefore = fileBytes(UserDefaults(Paths::configFolder()).filePath());
    DesktopProcess program;
    ASSERT_TRUE(program.waitForLine(u"bar: front"_s));
    program.signal(SIGSEGV);
    EXPECT_EQ(program.waitForExit(), -1); // ended by the signal

    const QStringList reports = CrashReporter::takeUnseenReports();
    ASSERT_EQ(reports.size(), 1);
    const QString report = QString::fromUtf8(fileBytes(reports.first()));
    EXPECT_TRUE(
        report.startsWith(u"Vantrel "_s + QString::fromLatin1(buildinfo::version) + u" ended on signal 11"_s))
        << report.toStdString();
    EXPECT_TRUE(report.contains(u"Backtrace:\n"_s));
    EXPECT_GT(report.count(u'\n'), 5);
    EXPECT_TRUE(CrashReporter::takeUnseenReports().isEmpty()); // offered once
    EXPECT_EQ(fileBytes(UserDefaults(Paths::configFolder()).filePath()), settingsBefore);
}
