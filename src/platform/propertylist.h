#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// The settings file format: an XML property list of typed values.
//
//   <plist version="1.0"><dict><key>limit</key><integer>500</integer>...</dict></plist>
//
// Value elements: string, integer (64-bit), real, true, false, date (ISO 8601 UTC with
// milliseconds), data (base64), array, dict. A string or key that XML cannot carry verbatim
// (control characters, carriage returns) is written as base64 of its UTF-8 form with
// encoding="base64".
class PropertyList {
public:
    // The outcome of parse: the root dictionary, or the reason the document was refused.
    struct ParseResult {
        QVariantMap root;
        QString error; // empty when the document was read completely

        explicit operator bool() const { return error.isEmpty(); }
    };

    // True for the values the format can hold: QString, qint64, double, bool, QDateTime,
    // QByteArray, and QVariantList / QVariantMap of these.
    static bool canHold(const QVariant &value);

    // Serialises a dictionary whose values all satisfy canHold.
    static QByteArray serialize(const QVariantMap &root);

    // Reads a whole document; anything malformed or truncated is refused with a message.
    static ParseResult parse(const QByteArray &document);
};
