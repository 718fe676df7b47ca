#pragma once

#include <QString>

// Text made safe for a notification server. Servers read bodies, and some also titles, as markup:
// "<", ">" and "&" are written as entities so that feed text can never format or link anything.
// Control characters (which D-Bus strings cannot carry, or which break the layout) are dropped,
// white space is folded, and long text is cut at a character boundary with an ellipsis.
namespace NotificationText {
inline constexpr qsizetype maximumTitleLength = 120;
inline constexpr qsizetype maximumBodyLength = 400;

// One line.
QString title(const QString &plainText);
// Line breaks kept, blank lines dropped.
QString body(const QString &plainText);
// At most `length` characters, never splitting a surrogate pair; a cut text ends in an ellipsis.
QString cut(const QString &text, qsizetype length);
// "<", ">" and "&" as entities.
QString escapeMarkup(const QString &plainText);
} // namespace NotificationText
