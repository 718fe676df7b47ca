#pragma once

#include "temphome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>

// A temporary home whose system folders (XDG_DATA_DIRS, XDG_CONFIG_DIRS) lie inside it too, so
// that desktop-file, mimeapps.list and autostart lookups see only the files a test writes.
class XdgSandbox {
public:
    XdgSandbox();
    ~XdgSandbox();
    XdgSandbox(const XdgSandbox &) = delete;
    XdgSandbox &operator=(const XdgSandbox &) = delete;

    QString path() const { return m_home.path(); }
    QString configHome() const { return m_home.configHome(); }
    QString dataHome() const { return m_home.dataHome(); }
    QString cacheHome() const { return m_home.cacheHome(); }
    QString systemConfig() const; // the one XDG_CONFIG_DIRS folder
    QString systemData() const;   // the one XDG_DATA_DIRS folder
    QString userApplications() const { return dataHome() + QStringLiteral("/applications"); }
    QString systemApplications() const { return systemData() + QStringLiteral("/applications"); }

    // Writes the file, creating its folder; returns its path.
    static QString writeFile(const QString &path, const QByteArray &contents);
    // An application's desktop file "<folder>/<id>" that runs `exec` and declares the MIME types.
    static QString writeApplication(const QString &folder, const QString &id, const QString &name,
                                    const QStringList &mimeTypes,
                                    const QString &exec = QStringLiteral("/bin/true"));

private:
    void set(const char *name, const QByteArray &value);
    void unset(const char *name);

    TempHome m_home;
    std::map<QByteArray, std::pair<bool, QByteArray>> m_saved;
};
