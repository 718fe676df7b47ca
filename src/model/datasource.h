#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <mutex>

// One subscription as the rest of the program sees it.
class Datasource : public QObject {
    Q_OBJECT
public:
    // A source for one element of the "feeds" setting.
    explicit Datasource(const QVariantMap &configuration, QObject *parent = nullptr);

    QString uuid() const;
    // The feed's own title, trimmed; empty until the feed document named it.
    QString name() const;
    // The user's name for the feed; a null string when there is none (never empty).
    QString customName() const;

protected:
    // Guards the source's state; recursive because operations on a source nest.
    mutable std::recursive_mutex m_lock;

private:
    QString m_uuid;
    QString m_name;
    QString m_customName;
};
