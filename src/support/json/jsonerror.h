#pragma once

#include <QLatin1String>
#include <QString>
#include <QVariantMap>

// Domains of the errors the JSON reader and writer report; callers match on these strings.
inline constexpr QLatin1String CJSONDeserializerErrorDomain("CJSONDeserializerErrorDomain");
inline constexpr QLatin1String CJSONScannerErrorDomain("CJSONScannerErrorDomain");
inline constexpr QLatin1String CJSONSerializerErrorDomain("TODO_DOMAIN");

// An error of the JSON reader or writer, returned as a value.
// Scanner errors carry "line", "character", "location" and "snippet" in userInfo.
struct JSONError {
    QString domain;
    int code = 0;
    QString message; // user-readable description; empty for the bare "no data" error
    QVariantMap userInfo;

    qint64 line() const { return userInfo.value(QStringLiteral("line"), -1).toLongLong(); }
    qint64 character() const { return userInfo.value(QStringLiteral("character"), -1).toLongLong(); }
    qint64 location() const { return userInfo.value(QStringLiteral("location"), -1).toLongLong(); }
    QString snippet() const { return userInfo.value(QStringLiteral("snippet")).toString(); }

    friend bool operator==(const JSONError &, const JSONError &) = default;
};

// Stores the error through the out argument when the caller gave one.
inline void reportJSONError(JSONError *out, JSONError error)
{
    if (out)
        *out = std::move(error);
}
