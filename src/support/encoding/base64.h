#pragma once

#include <QByteArray>
#include <QString>

// Base64 with the standard alphabet and '=' padding.
namespace Base64 {
// The encoding broken into lines of 64 characters with CR LF between them (no break after the last).
QString base64EncodedString(const QByteArray &data);
QString base64EncodedString(const QByteArray &data, bool separateLines);
// Decodes leniently: every character outside the alphabet ('=', CR, LF and anything else) is skipped;
// each group of up to four alphabet characters gives up to three bytes (two give one, three give two);
// a lone trailing character gives nothing.
QByteArray dataFromBase64String(const QString &text);
} // namespace Base64
