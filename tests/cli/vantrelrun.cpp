#include "vantrelrun.h"

#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QDirIterator>
#include <QUuid>
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString VantrelRun::program()
{
    return QDir(QString::fromLocal8Bit(qgetenv("VANTREL_BINARY_DIR"))).filePath(u"src/vantrel"_s);
}

VantrelRun::Result VantrelRun::run(const QStringList &arguments, int timeoutMs)
{
    return run(arguments, Confinement(), timeoutMs);
}

VantrelRun::Result VantrelRun::run(const QStringList &arguments, const Confinement &confinement,
                                   int timeoutMs)
{
    QProcess process;
    confine(process, confinement);
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

VantrelRun::VantrelRun(const QStringList &arguments) : VantrelRun(arguments, Confinement()) {}

VantrelRun::VantrelRun(const QStringList &arguments, const Confinement &confinement)
{
    confine(m_process, confinement);
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

QString VantrelRun::errorOutput()
{
    m_errorOutput += m_process.readAllStandardError();
    return QString::fromUtf8(m_errorOutput);
}

namespace {

constexpr uid_t nobody = 65534;

void giveToNobody(const QString &folder)
{
    ::lchown(QFile::encodeName(folder).constData(), nobody, nobody);
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        ::lchown(QFile::encodeName(entries.next()).constData(), nobody, nobody);
}

} // namespace

void VantrelRun::confine(QProcess &process, const Confinement &confinement)
{
    const bool dropRoot = confinement.unprivileged && ::geteuid() == 0;
    if (dropRoot)
        giveToNobody(QDir::homePath());
    const qint64 limit = confinement.fileSizeLimit;
    process.setChildProcessModifier([limit, dropRoot] {
        if (limit >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
        }
        if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(127);
    });
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
    QVariantMap feed{{u"uuid"_s, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()},
                     {u"url"_s, url}};
    if (!customName.isNull())
        feed.insert(u"customName"_s, customName);
    return feed;
}
