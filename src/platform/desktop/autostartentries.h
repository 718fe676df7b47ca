#pragma once

#include <QList>
#include <QString>

#include <optional>

// The applications the desktop session starts when the user logs in.
class AutostartEntries {
public:
    struct Entry {
        QString id;   // the desktop file id, the entry's identity ("org.vantrel.Vantrel.desktop")
        QString path; // the file that makes it start
        bool startHidden = false;
    };

    virtual ~AutostartEntries() = default;

    // The enabled entries ordered by id; nullopt, with the reason in `error`, when they cannot be read.
    virtual std::optional<QList<Entry>> entries(QString *error) const = 0;
    // Starts the application of the desktop file at login, under the file's id. `startHidden` asks
    // it to start without its windows. False, with the reason in `error`, when it could not.
    virtual bool add(const QString &desktopFilePath, bool startHidden, QString *error) = 0;
    // Stops starting the entry with the id at login; false, with the reason in `error`, when there
    // is no such entry or it could not be changed.
    virtual bool remove(const QString &id, QString *error) = 0;
};
