#pragma once

#include "services/operations/operation.h"
#include "services/operations/serviceerror.h"

#include <QVariantMap>
#include <optional>

// An operation that ends with an error value instead of an exception.
// Not thread-safe: configure it before queueing it, read it after it has finished (or in its callback).
class BSOperation : public Operation {
public:
    QVariantMap userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariantMap &userInfo) { m_userInfo = userInfo; }
    const std::optional<ServiceError> &operationError() const { return m_operationError; }
    void setOperationError(const std::optional<ServiceError> &error) { m_operationError = error; }

    // Stores code 258 "Unhandled exception caught in …" naming the exception's text, with the earlier
    // error (if any) as its underlying error and the text under underlyingExceptionErrorKey().
    void handleException(const QString &exceptionText);

private:
    QVariantMap m_userInfo;
    std::optional<ServiceError> m_operationError;
};
