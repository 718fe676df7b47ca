#pragma once

#include "platform/desktop/autostartentries.h"

#include <QString>

class KeyFile;

// XDG autostart: desktop files in $XDG_CONFIG_HOME/autostart, which override those of the same
// name in the autostart folders of $XDG_CONFIG_DIRS. An entry is enabled unless it says
// "Hidden=true" or "X-GNOME-Autostart-enabled=false". Files are written whole or not at all.
class XdgAutostart final : public AutostartEntries {
public:
    std::optional<QList<Entry>> entries(QString *error) const override;
    bool add(const QString &desktopFilePath, bool startHidden, QString *error) override;
    bool remove(const QString &id, QString *error) override;

    // Set on entries that should start without their windows; only Vantrel reads it.
    static inline const QString startHiddenKey = QStringLiteral("X-Vantrel-StartHidden");

    static QString userFolder();

private:
    static QString systemEntryPath(const QString &id);
    static bool write(const QString &id, const KeyFile &file, QString *error);
};
