#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

class AutostartEntries;

// The applications started when the user logs in, on the desktop's autostart entries. A login
// item is a dictionary with "URL" (the file URL of its autostart entry) and "Hidden" (whether it
// starts without its windows).
//
// An item is identified by its desktop file's name, as autostart does: the item for an
// application's desktop file "…/applications/org.vantrel.Vantrel.desktop" is the autostart entry
// "org.vantrel.Vantrel.desktop", so either file's URL or path finds it.
//
// Failures give −1, false or no list, and a log line with the reason.
class LoginItemRegistry {
public:
    static inline const QString urlKey = QStringLiteral("URL");
    static inline const QString hiddenKey = QStringLiteral("Hidden");

    explicit LoginItemRegistry(AutostartEntries &entries);

    // The application's registry, on XDG autostart.
    static LoginItemRegistry &shared();

    std::optional<QList<QVariantMap>> allLoginItems() const;
    // The position of the item, counted from 0; −1 when there is none or the list cannot be read.
    int indexForLoginItemWithURL(const QUrl &url) const;
    int indexForLoginItemWithPath(const QString &path) const;
    // Starts the application whose desktop file the URL names at login.
    bool addLoginItemWithURL(const QUrl &url, bool hideIt);
    bool addLoginItemWithPath(const QString &path, bool hideIt);
    bool removeLoginItemAtIndex(int index);
    // False, without changing anything, when the item is not found.
    bool removeLoginItemWithURL(const QUrl &url);
    bool removeLoginItemWithPath(const QString &path);

private:
    AutostartEntries &m_entries;
};
