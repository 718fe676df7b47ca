#pragma once

#include <QString>

namespace IntegerText {
// The number that the text's leading digits form, after white space and an optional sign:
// "12a" is 12, "abc" and "" are 0. Values beyond the int range are clamped.
int value(const QString &text);
} // namespace IntegerText
