#include "temphome.h"

#include <QDir>
#include <cstdlib>

TempHome::TempHome()
{
    setVariable("HOME", m_dir.path());
    setVariable("XDG_CONFIG_HOME", configHome());
    setVariable("XDG_CACHE_HOME", cacheHome());
    setVariable("XDG_DATA_HOME", dataHome());
}

TempHome::~TempHome()
{
    for (const auto &[name, saved] : m_saved) {
        if (saved.first)
            qputenv(name.constData(), saved.second);
        else
            qunsetenv(name.constData());
    }
}

QString TempHome::configHome() const
{
    return m_dir.filePath(QStringLiteral(".config"));
}
QString TempHome::cacheHome() const
{
    return m_dir.filePath(QStringLiteral(".cache"));
}
QString TempHome::dataHome() const
{
    return m_dir.filePath(QStringLiteral(".local/share"));
}

void TempHome::setVariable(const char *name, const QString &value)
{
    m_saved.emplace(QByteArray(name), std::make_pair(qEnvironmentVariableIsSet(name), qgetenv(name)));
    qputenv(name, value.toLocal8Bit());
}
