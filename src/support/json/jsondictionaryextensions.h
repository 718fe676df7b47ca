#pragma once

#include "jsonerror.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// Reading a JSON document in one call with a fresh reader of default settings.
namespace JSONDictionaryExtensions {

// The value at the start of the data (normally a QVariantMap), or an invalid QVariant with the error.
QVariant dictionaryWithJSONData(const QByteArray &data, JSONError *outError = nullptr);
// The same for text, read as its UTF-8 bytes.
QVariant dictionaryWithJSONString(const QString &string, JSONError *outError = nullptr);

} // namespace JSONDictionaryExtensions
