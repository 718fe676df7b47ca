#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>

// Points HOME and the XDG folders at a fresh temporary home for the lifetime of the object,
// so that settings, caches and autostart entries land in a throw-away place.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    QString path() const { return m_dir.path(); }
    QString configHome() const;
    QString cacheHome() const;
    QString dataHome() const;

private:
    void setVariable(const char *name, const QString &value);

    QTemporaryDir m_dir;
    std::map<QByteArray, std::pair<bool, QByteArray>> m_saved;
};
