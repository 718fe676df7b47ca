#pragma once

#include <QByteArrayView>
#include <QString>

namespace StringAdditions {
// A new random UUID in its standard 8-4-4-4-12 upper-case hexadecimal form.
QString uuid();
// Whether every byte is below 0x80. Most text Vantrel reads is plain ASCII, which widens directly
// (QString::fromLatin1) for less than a UTF-8 decoder costs to set up.
bool isAscii(QByteArrayView bytes);
} // namespace StringAdditions
