#include "platform/paths.h"

#include "buildinfo.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// An XDG variable counts only when it holds an absolute path; otherwise the fallback under HOME.
QString baseFolder(const char *variable, const QString &fallbackInHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + fallbackInHome);
}

QString createdFolder(const QString &path)
{
    Paths::ensureFolder(path);
    return path;
}

} // namespace

QString Paths::configFolder()
{
    return createdFolder(baseFolder("XDG_CONFIG_HOME", u".config"_s) + u"/vantrel"_s);
}

QString Paths::cachesFolder()
{
    return createdFolder(baseFolder("XDG_CACHE_HOME", u".cache"_s) + u'/' +
                         QString::fromLatin1(buildinfo::bundleIdentifier));
}

bool Paths::ensureFolder(const QString &path)
{
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return true;
    qWarning().noquote() << u"Could not create the folder %1"_s.arg(path);
    return false;
}
