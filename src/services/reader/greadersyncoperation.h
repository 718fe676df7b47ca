#pragma once

#include "services/operations/operation.h"
#include "services/reader/googlereaderentries.h"
#include "services/reader/googlereaderservice.h"

#include <QList>
#include <QString>
#include <memory>
#include <mutex>

class Clock;
class RSSDatasource;
class UserDefaults;

// Pushes subscription edits to the reader service: subscribes to every source of addList, then
// unsubscribes every entry of removeList, in order, stopping at the first edit that fails (the edits made
// so far stay made). Only a complete run stores the time in the "lastGoogleSync" setting.
// The accessors may be used from any thread. The operation holds its sources, which belong to the main
// thread: keep a reference to it there so that it is released there.
class GReaderSyncOperation : public Operation {
public:
    GReaderSyncOperation(const GoogleReaderService &service, UserDefaults &defaults, const Clock &clock);

    QString user() const;
    void setUser(const QString &user);
    QString password() const;
    void setPassword(const QString &password);
    QList<std::shared_ptr<RSSDatasource>> addList() const;
    void setAddList(const QList<std::shared_ptr<RSSDatasource>> &addList);
    QList<BSGoogleReaderSubscription> removeList() const;
    void setRemoveList(const QList<BSGoogleReaderSubscription> &removeList);

    void main() override;

    static const QString editPath;

private:
    bool edit(const QVariantMap &fields) const;

    GoogleReaderService m_service;
    UserDefaults &m_defaults;
    const Clock &m_clock;

    mutable std::mutex m_mutex; // guards the four fields below
    QString m_user;
    QString m_password;
    QList<std::shared_ptr<RSSDatasource>> m_addList;
    QList<BSGoogleReaderSubscription> m_removeList;
};
