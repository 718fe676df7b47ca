#include "vantrelrun.h"

#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QUuid>

using namespace Qt::StringLiterals;

QString VantrelRun::program()
{
    return QDir(QString::fromLocal8Bit(qgetenv("VANTREL_BINARY_DIR"))).filePath(u"src/vantrel"_s);
}

VantrelRun::Result VantrelRun::run(const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program(), arguments);
    Result result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = u"vantrel did not finish in time"_s;
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

VantrelRun::VantrelRun(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), arguments);
    m_process.waitForStarted();
}

VantrelRun::~VantrelRun()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QString VantrelRun::output()
{
    m_output += m_process.readAllStandardOutput();
    return QString::fromUtf8(m_output);
}

void VantrelRun::writeSettings(const QVariantMap &values)
{
    UserDefaults defaults(Paths::configFolder());
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        defaults.setObject(value.value(), value.key());
    if (!values.contains(SettingsKey::reachabilityHost))
        defaults.setObject(u"127.0.0.1"_s, SettingsKey::reachabilityHost);
    defaults.synchronize();
}

QVariantMap VantrelRun::feed(const QString &url, const QString &customName)
{
    QVariantMap feed{{u"uuid"_s, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()}, {u"url"_s, url}};
    if (!customName.isNull())
        feed.insert(u"customName"_s, customName);
    return feed;
}
