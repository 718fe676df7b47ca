#include "model/source/staleitemfiles.h"

#include "model/source/itemfile.h"
#include "platform/clock.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

StaleItemFiles::StaleItemFiles(const Clock &clock)
    : m_clock(clock), m_itemFolder(Paths::cachesFolder()), m_folder(m_itemFolder + u"/stale"_s)
{
}

void StaleItemFiles::restore(const QStringList &uuids) const
{
    if (!QFileInfo(m_folder).isDir())
        return;
    for (const QString &uuid : uuids) {
        const QString name = ItemFile::fileNameForUuid(uuid);
        const QString stale = m_folder + u'/' + name;
        const QString itemFile = m_itemFolder + u'/' + name;
        if (QFileInfo::exists(itemFile) || !QFileInfo::exists(stale))
            continue;
        if (QFile::rename(stale, itemFile))
            qWarning("The feed %s is back: its entries were restored from %s", qPrintable(uuid),
                     qPrintable(stale));
        else
            qWarning("The entries of the feed %s in %s cannot be restored", qPrintable(uuid),
                     qPrintable(stale));
    }
}

void StaleItemFiles::setAsideAllBut(const QStringList &uuids) const
{
    QSet<QString> kept;
    for (const QString &uuid : uuids)
        kept.insert(ItemFile::fileNameForUuid(uuid));
    const QDir items(m_itemFolder);
    const QStringList files = items.entryList({u"*.db"_s}, QDir::Files);
    for (const QString &file : files) {
        if (kept.contains(file) || !Paths::ensureFolder(m_folder))
            continue;
        const QString target = m_folder + u'/' + file;
        // An older copy of the same feed's entries gives way to the newer.
        if (QFileInfo::exists(target))
            QFile::remove(target);
        if (!QFile::rename(items.filePath(file), target)) {
            qWarning("Cannot move the item file %s of a feed no longer in the settings to %s",
                     qPrintable(items.filePath(file)), qPrintable(m_folder));
            continue;
        }
        // The waiting time counts from now, not from the file's last save.
        touch(target);
        qWarning("The item file %s belongs to no feed in the settings; moved it to %s, where it is deleted "
                 "after %d days",
                 qPrintable(file), qPrintable(m_folder), keptDays);
    }
}

void StaleItemFiles::deleteExpired() const
{
    const QDateTime expiry = m_clock.now().addDays(-keptDays);
    const QFileInfoList files = QDir(m_folder).entryInfoList(QDir::Files);
    for (const QFileInfo &file : files) {
        if (file.lastModified() >= expiry)
            continue;
        if (QFile::remove(file.filePath()))
            qWarning("Deleted the item file %s, which no feed has claimed for %d days",
                     qPrintable(file.filePath()), keptDays);
        else
            qWarning("Cannot delete the expired item file %s", qPrintable(file.filePath()));
    }
}

// The file's modification time becomes the clock's now: it records when the file was set aside.
void StaleItemFiles::touch(const QString &path) const
{
    const qint64 msecs = m_clock.now().toMSecsSinceEpoch();
    const timespec now{time_t(msecs / 1000), long(msecs % 1000) * 1000000L};
    const timespec times[2] = {now, now};
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        qWarning("Cannot date the stale item file %s; it may be deleted early", qPrintable(path));
}
