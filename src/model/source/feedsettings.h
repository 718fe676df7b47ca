#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <atomic>

class UserDefaults;

// One feed's settings: its element of the "feeds" setting, found by uuid, with the general
// settings standing in for those the feed does not set. Any thread.
class FeedSettings {
public:
    FeedSettings(UserDefaults &defaults, const QString &uuid) : m_defaults(defaults), m_uuid(uuid) {}

    // The feed's element of "feeds"; empty when it has none.
    QVariantMap entry() const;
    // The entry's value for the key, else (unless returnNil) the general setting; blobs unarchived.
    QVariant value(const QVariantMap &entry, const QString &key, bool returnNil = false) const;
    // Stores the value (colours and images archived) under the key of the feed's element; an
    // invalid value removes the key. With an invalid value and a null key, creates the element
    // (uuid and `enabled`) when the feed has none. False when nothing was written: the feed has
    // no element and none was to be created.
    bool write(const QVariant &value, const QString &key, bool enabled);

private:
    // The index of the feed's element in `feeds`, or -1.
    qsizetype indexIn(const QVariantList &feeds) const;

    UserDefaults &m_defaults;
    const QString m_uuid;
    mutable std::atomic<qsizetype> m_indexHint = -1; // where the element was found last
};
