#include "platform/desktop/xdgbasedirs.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

QString singleDir(const char *variable, const QString &fallbackInHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + fallbackInHome);
}

QStringList dirList(const char *variable, const QStringList &fallback)
{
    QStringList dirs;
    const QStringList parts = qEnvironmentVariable(variable).split(u':', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (QDir::isAbsolutePath(part))
            dirs.append(QDir::cleanPath(part));
    }
    dirs.removeDuplicates();
    return dirs.isEmpty() ? fallback : dirs;
}

} // namespace

QString XdgBaseDirs::configHome()
{
    return singleDir("XDG_CONFIG_HOME", u".config"_s);
}

QString XdgBaseDirs::stateHome()
{
    return singleDir("XDG_STATE_HOME", u".local/state"_s);
}

QStringList XdgBaseDirs::configDirs()
{
    return dirList("XDG_CONFIG_DIRS", {u"/etc/xdg"_s});
}

QString XdgBaseDirs::dataHome()
{
    return singleDir("XDG_DATA_HOME", u".local/share"_s);
}

QStringList XdgBaseDirs::dataDirs()
{
    return dirList("XDG_DATA_DIRS", {u"/usr/local/share"_s, u"/usr/share"_s});
}

QStringList XdgBaseDirs::currentDesktops()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
}

QStringList XdgBaseDirs::applicationDirs()
{
    QStringList dirs{dataHome() + u"/applications"_s};
    for (const QString &dir : dataDirs())
        dirs.append(dir + u"/applications"_s);
    return dirs;
}
