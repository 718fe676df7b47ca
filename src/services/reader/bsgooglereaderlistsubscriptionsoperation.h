#pragma once

#include "services/operations/bscallbackoperation.h"
#include "services/reader/googlereaderentries.h"
#include "services/reader/googlereaderservice.h"

#include <QVariant>

// Logs in to the reader service and lists the account's subscriptions; the callback then reads
// resultFeeds() and operationError(). Errors: transport and JSON reader errors unchanged, 4100 when the
// login is refused, 4097 when the list is not what the service should send.
class BSGoogleReaderListSubscriptionsOperation : public BSCallbackOperation {
public:
    using ListCallback = std::function<void(BSGoogleReaderListSubscriptionsOperation &operation)>;

    BSGoogleReaderListSubscriptionsOperation(const GoogleReaderService &service, QObject *target,
                                             ListCallback callback, QThread *thread = nullptr);

    QString login() const { return m_login; }
    void setLogin(const QString &login) { m_login = login; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    // The subscriptions in the service's order; none when the account has none or the operation failed.
    const std::optional<QList<BSGoogleReaderSubscription>> &resultFeeds() const { return m_resultFeeds; }

    void performOperation() override;

    // The subscriptions of a list answer's "subscriptions" array, sharing one category per id.
    static QList<BSGoogleReaderSubscription> subscriptionsFromList(const QVariantList &list);

private:
    void fail(ServiceError error) { setOperationError(std::move(error)); }

    GoogleReaderService m_service;
    QString m_login;
    QString m_password;
    std::optional<QList<BSGoogleReaderSubscription>> m_resultFeeds;
};
