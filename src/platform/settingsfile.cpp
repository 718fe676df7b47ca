#include "platform/settingsfile.h"

#include "platform/atomicfile.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/propertylist.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

using namespace Qt::StringLiterals;

namespace {

// A save holds the lock for milliseconds. A lock file left empty by a process killed while
// creating it names no owner, so only its age can free it: wait longer than that age.
constexpr int staleLockMs = 3000;
constexpr int lockTimeoutMs = 5000;

} // namespace

SettingsFile::SettingsFile(const QString &folder)
    : m_folder(folder), m_path(QDir(folder).filePath(u"settings.plist"_s))
{
}

QVariantMap SettingsFile::read()
{
    QFile file(m_path);
    if (!file.exists()) {
        m_readState = ReadState::Absent;
        return {};
    }
    QByteArray document;
    if (file.open(QIODevice::ReadOnly))
        document = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        m_unwritableReason =
            u"%1 exists but cannot be read (%2); it is left as it is"_s.arg(m_path, file.errorString());
        m_readState = ReadState::Unreadable;
        qWarning().noquote() << u"Settings: %1"_s.arg(m_unwritableReason);
        return {};
    }
    file.close();
    const PropertyList::ParseResult parsed = PropertyList::parse(document);
    if (!parsed) {
        moveAside(parsed.error);
        return {};
    }
    m_readState = ReadState::Sound;
    return parsed.root;
}

void SettingsFile::moveAside(const QString &reason)
{
    const QString stamp = Clock::system().now().toString(u"yyyyMMdd'T'HHmmsszzz'Z'"_s);
    QString target = u"%1.damaged-%2"_s.arg(m_path, stamp);
    for (int n = 1; QFile::exists(target); ++n)
        target = u"%1.damaged-%2-%3"_s.arg(m_path, stamp).arg(n);
    if (QFile::rename(m_path, target)) {
        m_readState = ReadState::SetAside;
        qWarning().noquote()
            << u"Settings: %1 could not be read (%2); moved it to %3 and started from the defaults"_s.arg(
                   m_path, reason, target);
        return;
    }
    m_unwritableReason =
        u"%1 could not be read (%2) nor moved aside; it is left as it is"_s.arg(m_path, reason);
    m_readState = ReadState::Unreadable;
    qWarning().noquote() << u"Settings: %1"_s.arg(m_unwritableReason);
}

QString SettingsFile::write(const QVariantMap &values) const
{
    if (!m_unwritableReason.isEmpty())
        return m_unwritableReason;
    if (!Paths::ensureFolder(m_folder))
        return u"the folder %1 cannot be created"_s.arg(m_folder);
    QLockFile lockFile(m_path + u".lock"_s);
    lockFile.setStaleLockTime(staleLockMs);
    if (!lockFile.tryLock(lockTimeoutMs)) {
        qint64 pid = 0;
        QString host;
        QString application;
        if (lockFile.getLockInfo(&pid, &host, &application))
            return u"%1 is being written by another process (%2, pid %3)"_s.arg(m_path, application).arg(pid);
        return u"%1 is locked (%2)"_s.arg(m_path, m_path + u".lock"_s);
    }
    if (const QString failure = AtomicFile::replace(m_path, {PropertyList::serialize(values)});
        !failure.isEmpty())
        return u"%1 cannot be written: %2"_s.arg(m_path, failure);
    return {};
}
