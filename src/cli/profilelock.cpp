#include "cli/profilelock.h"

#include "platform/paths.h"

#include <QDir>

using namespace Qt::StringLiterals;

ProfileLock::ProfileLock(const QString &folder)
    : m_folder(folder), m_file(QDir(folder).filePath(u"running.lock"_s))
{
    // A ticker runs for days; only a dead owner makes the lock stale.
    m_file.setStaleLockTime(0);
}

bool ProfileLock::tryLock()
{
    if (!Paths::ensureFolder(m_folder)) {
        m_errorString = u"Cannot create the settings folder %1."_s.arg(m_folder);
        return false;
    }
    if (m_file.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_file.error() == QLockFile::LockFailedError && m_file.getLockInfo(&pid, &host, &application)) {
        m_errorString = u"Vantrel is already running on this profile (process %1). Quit it first; "
                        "--list-feeds and --export-opml work while it runs."_s.arg(pid);
    } else {
        m_errorString = u"Cannot lock the profile in %1."_s.arg(m_folder);
    }
    return false;
}
