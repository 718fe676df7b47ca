#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>

struct HTTPError;
struct JSONError;

// An error of an online service as the user is shown it: domain, code, description, why it happened and
// what to do about it, with the error that led to it when there was one.
struct ServiceError {
    QString domain;
    int code = 0;
    QString localizedDescription;
    QString failureReason;      // empty when nothing more is known
    QString recoverySuggestion; // empty when there is none
    QVariantMap userInfo;
    std::shared_ptr<const ServiceError> underlyingError;

    // Transport errors and JSON reader errors are kept unchanged: same domain, code and texts.
    static ServiceError fromHTTPError(const HTTPError &error);
    static ServiceError fromJSONError(const JSONError &error);
};

// Domain of the errors the reader-service client makes itself.
inline const QString &commonsErrorDomain()
{
    static const QString domain = QStringLiteral("org.vantrel.Commons.ErrorDomain");
    return domain;
}

// userInfo key of the exception text that code 258 errors carry.
inline const QString &underlyingExceptionErrorKey()
{
    static const QString key =
        QStringLiteral("org.vantrel.commons.ErrorDomain.BSUnderlyingExceptionErrorKey");
    return key;
}

// userInfo key of a transport's own message.
inline const QString &underlyingTransportMessageKey()
{
    static const QString key = QStringLiteral("org.vantrel.commons.ErrorDomain.TransportMessage");
    return key;
}
