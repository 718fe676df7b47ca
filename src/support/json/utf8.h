#pragma once

#include <QByteArrayView>
#include <QString>

// Whether [begin, end) is well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const char *begin, const char *end);

// Decodes well-formed UTF-8 (as checked by isValidUtf8) into UTF-16 at out, which must have room
// for (end - begin) units; returns the end of what was written.
char16_t *decodeValidUtf8(const char *begin, const char *end, char16_t *out);

// The text of UTF-8 bytes, keeping a leading U+FEFF (QString::fromUtf8 drops it as a byte-order
// mark, which would lose a character of a string value); malformed bytes become U+FFFD.
QString stringFromUtf8(QByteArrayView bytes);
inline QString stringFromUtf8(const char *bytes, qsizetype length)
{
    return stringFromUtf8(QByteArrayView(bytes, length));
}
