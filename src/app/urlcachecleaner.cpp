#include "app/urlcachecleaner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// True when one of the paths lies inside the other, or they are the same folder.
bool overlaps(const QString &a, const QString &b)
{
    const QString first = QDir::cleanPath(a) + u'/';
    const QString second = QDir::cleanPath(b) + u'/';
    return first.startsWith(second) || second.startsWith(first);
}

} // namespace

void UrlCacheCleaner::removeProcessCache(const QString &cachesRoot, const QString &processName,
                                         const QString &keep)
{
    if (processName.isEmpty() || processName.contains(u'/') || processName == u"."_s ||
        processName == u".."_s)
        return;
    const QString path = QDir(cachesRoot).filePath(processName);
    const QFileInfo entry(path);
    if (!entry.exists() && !entry.isSymLink())
        return;
    if (entry.isSymLink()) {
        if (!QFile::remove(path))
            qWarning("Could not remove the link %s", qPrintable(path));
        return;
    }
    const QString keepCanonical = QFileInfo(keep).canonicalFilePath();
    if (overlaps(path, keep) ||
        (!keepCanonical.isEmpty() && overlaps(entry.canonicalFilePath(), keepCanonical)))
        return;
    const bool removed = entry.isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed)
        qWarning("Could not remove the old download cache %s", qPrintable(path));
}
