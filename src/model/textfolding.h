#pragma once

#include <QString>

// Text compared the way a search ignores case and diacritics ("contains[cd]"): decomposed,
// stripped of combining marks and fully case-folded, so "Café" and "CAFE" fold alike.
namespace TextFolding {
QString fold(const QString &text);
// fold(first) + separator + fold(second), built in one buffer.
QString foldJoined(QStringView first, QChar separator, QStringView second);
// Whether the folded needle occurs in the folded text; an empty needle never does.
bool containsFolded(const QString &foldedText, const QString &foldedNeedle);
} // namespace TextFolding
