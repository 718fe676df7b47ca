#pragma once

#include "platform/desktop/keyfile.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The applications installed for the user: the desktop files in the "applications" folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS (XdgBaseDirs::applicationDirs), read when the object is made.
// A file's id is its path below that folder with '/' turned into '-' ("kde/app.desktop" is
// "kde-app.desktop"); of two files with one id, the one in the earlier folder counts, and a
// "Hidden=true" file there hides the application.
class DesktopApplications {
public:
    struct Application {
        QString id;
        QString path;
        KeyFile file;
    };

    DesktopApplications();

    // The usable application with the id: a Type=Application entry with a command whose TryExec,
    // when given, is an executable. nullptr when there is none.
    const Application *find(const QString &id) const;
    // The usable applications whose MimeType lists the type, earlier folders first, then by id.
    std::vector<const Application *> declaring(const QString &mimeType) const;
    // The application's Name in the user's language; the id when it has none; empty when absent.
    QString displayName(const QString &id) const;

    static inline const QString entryGroup = QStringLiteral("Desktop Entry");

private:
    void scanFolder(const QString &root, const QString &folder, QHash<QString, bool> &seen);
    static bool isUsable(const KeyFile &file);

    std::vector<Application> m_applications; // folder precedence, then id
    QHash<QString, size_t> m_byId;
};
