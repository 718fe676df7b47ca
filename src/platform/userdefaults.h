#pragma once

#include "platform/settingsfile.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <mutex>
#include <vector>

class QTimer;

// The user's settings: a registration layer of defaults (never saved) under a persistent
// layer that is saved to "settings.plist" in its folder (see SettingsFile and PropertyList).
//
// Values are QString, qint64, double, bool, QDateTime (UTC), QByteArray, and QVariantList /
// QVariantMap of these; other integer and float types are stored as qint64 and double, a
// QStringList as a list, a QColor or QImage as its Archive blob.
//
// Threads: the object lives on the main thread; every operation may be called from any thread.
// One recursive mutex guards the layers and the observations; observer callbacks and the file
// write run outside it. Changes are saved about half a second after they happen (on the main
// thread), at synchronize() and at destruction. The file is replaced atomically, and a lock
// file serialises writers of several processes.
//
// A settings file that cannot be read is moved aside (a warning names the new name) and the
// store starts empty; a file that can neither be read nor moved aside is never overwritten.
class UserDefaults final : public QObject {
    Q_OBJECT

public:
    using ObservationId = quint64;
    using Observer = std::function<void(const QVariant &value)>;
    using Update = std::function<QVariant(const QVariant &current)>;

    explicit UserDefaults(const QString &folder, QObject *parent = nullptr);
    ~UserDefaults() override;

    // The application's store, in Paths::configFolder(); created on first use (make that first
    // call on the main thread, after the application object exists, which then owns it).
    static UserDefaults &standardUserDefaults();

    QString filePath() const { return m_file.path(); }
    // What the store found when it opened its file. Only after a Sound file do the values stand
    // for the user's own settings; after any other the persistent layer started empty.
    SettingsFile::ReadState fileState() const { return m_file.readState(); }

    // The persisted value, else the registered default, else an invalid QVariant. A persisted
    // value of another kind than the registered default (string, number, date, data, array,
    // dictionary), or a blob that holds no colour where the default is a colour, is ignored in
    // favour of the default.
    QVariant objectForKey(const QString &key) const;

    // Typed reads; a missing or unconvertible value gives the type's empty value.
    // Numbers and numeric strings convert to each other; "YES"/"true" read as true.
    QString stringForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;
    QVariantList arrayForKey(const QString &key) const;
    QVariantMap dictionaryForKey(const QString &key) const;
    QDateTime dateForKey(const QString &key) const;
    // The colour or image archived under the key (see Archive); an invalid QColor / null QImage
    // when there is none.
    QColor colorForKey(const QString &key) const;
    QImage imageForKey(const QString &key) const;

    // Stores a value in the persistent layer; an invalid QVariant removes the key. Returns false
    // (with a warning) for a value of a type the store cannot hold, which is then not stored.
    bool setObject(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Atomic read-modify-write of one key: `update` receives the current value (as objectForKey)
    // and returns the new one (invalid removes). Runs under the store's lock: it must be quick
    // and must not wait for other threads.
    bool updateObject(const QString &key, const Update &update);

    // Adds to the registration layer (later registrations of a key replace earlier ones).
    void registerDefaults(const QVariantMap &defaults);

    // Writes the persistent layer now. False when it could not, with errorString() set.
    bool synchronize();
    QString errorString() const;

    // Calls `callback` with the key's value once at once and then after every change of the
    // value objectForKey gives, always on the main thread: directly when the observation or the
    // change is made on the main thread, queued otherwise. Callbacks of one observation see the
    // values in the order of the changes; a stale queued value is skipped when a newer one was
    // delivered first. Never called after `context` (an object of the main thread) is destroyed;
    // without a context the observation lasts until removeObservation.
    ObservationId observe(const QString &key, QObject *context, Observer callback);
    void removeObservation(ObservationId id);

private:
    struct Observation {
        QString key;
        QPointer<QObject> context;
        bool hasContext = false;
        Observer callback;
        quint64 lastGeneration = 0;
    };
    struct Delivery {
        ObservationId id = 0;
        quint64 generation = 0;
        QVariant value;
    };

    QVariant effectiveValueLocked(const QString &key) const;
    void storeLocked(const QString &key, const QVariant &value);
    void noteChangeLocked(const QString &key, const QVariant &before);
    void scheduleSaveLocked();
    void dispatchDeliveries();
    void deliver(const Delivery &delivery);
    bool save();
    bool isMainThread() const;

    Q_INVOKABLE void deliverPending();
    Q_INVOKABLE void startSaveTimer();
    void saveIfChanged();

    SettingsFile m_file; // read in the constructor; written under m_saveMutex
    QTimer *m_saveTimer;

    mutable std::recursive_mutex m_mutex; // guards every member below but m_saveMutex
    QHash<QString, QVariant> m_values;
    QHash<QString, QVariant> m_registered;
    std::map<ObservationId, Observation> m_observations;
    ObservationId m_nextObservationId = 1;
    quint64 m_generation = 0; // counts changes of effective values
    std::vector<Delivery> m_pendingDeliveries;
    bool m_deliveryPosted = false;
    quint64 m_changeCount = 0; // counts changes of the persistent layer
    quint64 m_savedChangeCount = 0;
    bool m_saveScheduled = false;
    QString m_errorString;

    std::mutex m_saveMutex; // one file write at a time, in the order of their snapshots
};
