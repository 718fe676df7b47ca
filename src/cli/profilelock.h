#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second Vantrel from changing the same profile: the running ticker would write its own
// copy of the subscriptions over the other's changes at its next save. Held for the lifetime of
// the object once taken; a lock left by a killed process is taken over.
class ProfileLock {
public:
    // The lock of the profile whose settings live in `folder`.
    explicit ProfileLock(const QString &folder);

    bool tryLock();
    // Why tryLock failed, in plain words.
    QString errorString() const { return m_errorString; }

private:
    QString m_folder;
    QLockFile m_file;
    QString m_errorString;
};
