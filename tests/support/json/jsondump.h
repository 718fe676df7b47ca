#pragma once

#include <QString>
#include <QVariant>

// One-line text of a value read by the JSON reader, naming each number's type:
// {"a": u:1, "b": [i:-3, d:1.5, true, null, "x\n"]}; an invalid QVariant is "none".
QString dumpJSONValue(const QVariant &value);
// A string in double quotes with control characters and lone surrogates escaped.
QString dumpJSONString(const QString &string);
