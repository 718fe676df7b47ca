#pragma once

#include <QByteArrayView>
#include <QString>

namespace StringAdditions {
// A new random UUID in its standard 8-4-4-4-12 upper-case hexadecimal form.
QString uuid();
// Whether every byte is below 0x80. Most text Vantrel reads is plain ASCII, which widens directly
// (QString::fromLatin1) for less than a UTF-8 decoder costs to set up.
bool isAscii(QByteArrayView bytes);
// The text of UTF-8 bytes, exactly as QString::fromUtf8 gives it: one leading byte order mark is
// dropped and every byte that is not part of a well-formed sequence becomes U+FFFD. Made for text
// that is mostly ASCII with a letter from further up here and there, where it is several times
// faster than the general converter.
QString fromUtf8(QByteArrayView bytes);
// The same into `text`, which keeps its capacity when it has room: for one string reused for many
// short texts.
void decodeUtf8(QByteArrayView bytes, QString &text);
// The same into `out`, which has room for bytes.size() code units (UTF-8 never gives more units
// than bytes); returns how many were written.
qsizetype decodeUtf8(QByteArrayView bytes, char16_t *out);
} // namespace StringAdditions
