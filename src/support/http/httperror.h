#pragma once

#include <QString>

// Why a request failed. Every error of the request engine has the domain "ASIHTTPRequestErrorDomain".
enum class HTTPErrorCode {
    ConnectionFailure = 1,
    RequestTimedOut = 2,
    AuthenticationNeeded = 3,
    RequestCancelled = 4,
    UnableToCreateRequest = 5,
    UnableToCreateReadStream = 6,
    FileError = 8,
    TooMuchRedirection = 9,
    UnhandledException = 10,
    Compression = 11,
    ResponseTooLarge = 12,
};

// An error value: domain, code, the description shown to the user, and optional detail.
struct HTTPError {
    QString domain;
    int code = 0;
    QString localizedDescription;
    // Why it happened, when more is known (an exception's reason, a limit that was passed).
    QString failureReason;
    // The transport's own message, when the transport failed.
    QString underlyingError;

    HTTPErrorCode errorCode() const { return static_cast<HTTPErrorCode>(code); }

    static HTTPError make(HTTPErrorCode code, const QString &description, const QString &failureReason = {},
                          const QString &underlyingError = {});
    // The error with the standard description of its code.
    static HTTPError withCode(HTTPErrorCode code);
};

inline const QString &httpErrorDomain()
{
    static const QString domain = QStringLiteral("ASIHTTPRequestErrorDomain");
    return domain;
}
