#pragma once

#include <QByteArray>
#include <QString>

// Text compared the way a search ignores case and diacritics ("contains[cd]"): decomposed,
// stripped of combining marks and fully case-folded, so "Café" and "CAFE" fold alike.
namespace TextFolding {
QString fold(const QString &text);
// fold(first) + separator + fold(second) in UTF-8, half the size of the UTF-16 text for the
// mostly ASCII texts kept for every entry.
QByteArray foldJoined(QStringView first, QChar separator, QStringView second);
// Whether the folded needle occurs in the folded text; an empty needle never does. UTF-8 needles
// match only whole characters of UTF-8 texts, as UTF-16 ones do in UTF-16 texts.
bool containsFolded(const QString &foldedText, const QString &foldedNeedle);
bool containsFolded(const QByteArray &foldedText, const QByteArray &foldedNeedle);
} // namespace TextFolding
