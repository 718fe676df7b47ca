#pragma once

#include <QString>
#include <QVariantMap>

// The settings file "settings.plist" in a folder (format: PropertyList). Read once when the
// store opens, then replaced whole at every save: written to a temporary file and renamed over
// the old one, under a lock file that serialises the writers of several processes. A process
// killed at any moment, a full disk or a file-size limit leaves the old file or the new one.
//
// write() may run on any thread, one call at a time.
class SettingsFile {
public:
    // What read() found.
    enum class ReadState {
        NotRead,
        Absent,     // no file: a first start, or the file was removed
        Sound,      // a file that parsed whole
        SetAside,   // a file that could not be parsed, now renamed aside
        Unreadable, // a file that could not be read (or not be moved aside), left as it is
    };

    explicit SettingsFile(const QString &folder);

    QString path() const { return m_path; }

    // The stored values; none for a missing file. A file that cannot be parsed is renamed to
    // "settings.plist.damaged-<UTC time>" with a logged warning. A file that can be neither read
    // nor moved aside stays as it is, and every later write refuses to replace it.
    QVariantMap read();

    // Replaces the file with the values; an empty string on success, else the reason (the old
    // file then stays as it was).
    QString write(const QVariantMap &values) const;

    // False once read() found a file that must not be replaced.
    bool isWritable() const { return m_unwritableReason.isEmpty(); }
    ReadState readState() const { return m_readState; }

private:
    void moveAside(const QString &reason);

    QString m_folder;
    QString m_path;
    QString m_unwritableReason;
    ReadState m_readState = ReadState::NotRead;
};
