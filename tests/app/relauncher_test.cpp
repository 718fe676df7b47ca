#include "app/relauncher.h"
#include "common/temphome.h"
#include "common/waitfor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The program is started again from a path that shell text would break on, and only once the
// old process has ended.
TEST(RelauncherTest, runsTheProgramFromAnAwkwardPathAfterTheOldProcessEnded)
{
    TempHome home;
    const QString folder = home.path() + u"/it's a \"folder\" $HOME; `true`"_s;
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + u"/vantrel & co"_s;
    const QString marker = home.path() + u"/relaunched"_s;
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s|%s' \"$0\" \"$#\" > \"$RELAUNCH_MARKER\"\n");
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("RELAUNCH_MARKER", QFile::encodeName(marker));

    QProcess oldProcess;
    oldProcess.start(u"sleep"_s, {u"1"_s});
    ASSERT_TRUE(oldProcess.waitForStarted());
    QString error;
    ASSERT_TRUE(Relauncher::relaunchAfterExit(program, oldProcess.processId(), &error))
        << error.toStdString();
    EXPECT_FALSE(QFile::exists(marker)); // the old process still runs
    ASSERT_TRUE(oldProcess.waitForFinished());

    ASSERT_TRUE(waitFor([&] { return QFile(marker).size() > 0; }, 10000));
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), program + u"|0"_s);
    qunsetenv("RELAUNCH_MARKER");
}
