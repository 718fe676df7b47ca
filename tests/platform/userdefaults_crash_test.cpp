#include "common/temphome.h"

#include "platform/propertylist.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString writerProgram()
{
    return QCoreApplication::applicationDirPath() + u"/../tools/settingswriter/vantrel_settingswriter"_s;
}

// A whole generation: every payload entry carries the generation number of the file.
void expectWholeGeneration(const QString &path, qint64 &lastGeneration)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const PropertyList::ParseResult parsed = PropertyList::parse(file.readAll());
    ASSERT_TRUE(parsed) << parsed.error.toStdString();
    const qint64 generation = parsed.root.value(u"generation"_s).toLongLong();
    EXPECT_GE(generation, lastGeneration);
    const QVariantList payload = parsed.root.value(u"payload"_s).toList();
    ASSERT_EQ(payload.size(), 2000);
    const QString suffix = u" of generation %1"_s.arg(generation);
    for (const QVariant &entry : payload)
        ASSERT_TRUE(entry.toString().endsWith(suffix)) << entry.toString().toStdString();
    lastGeneration = generation;
}

TEST(SettingsCrashSafetyTest, killingAWriterAtAnyMomentLeavesAWholeFile)
{
    ASSERT_TRUE(QFile::exists(writerProgram())) << writerProgram().toStdString();
    TempHome home;
    const QString folder = home.configHome() + u"/vantrel"_s;
    qint64 lastGeneration = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(writerProgram(), {folder});
        ASSERT_TRUE(writer.waitForStarted());
        ASSERT_TRUE(writer.waitForReadyRead(20000)) << writer.readAllStandardError().toStdString();
        QThread::msleep(QRandomGenerator::global()->bounded(5, 120));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished());
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped on its own";
        expectWholeGeneration(folder + u"/settings.plist"_s, lastGeneration);
    }
    EXPECT_GT(lastGeneration, 12);
}

} // namespace
