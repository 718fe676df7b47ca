#pragma once

#include "model/entry/propertykey.h"

#include <QStringView>

// How long an entry's texts may grow, in UTF-16 code units: a feed is not trusted to keep them
// short, and every entry is held in memory. A longer text is cut at a character boundary.
namespace TextCaps {

inline constexpr qsizetype title = 4 * 1024;
// The entry's body: "description", "content:encoded", and Atom's "content" and "summary".
inline constexpr qsizetype body = 1024 * 1024;
inline constexpr qsizetype other = 64 * 1024;
inline constexpr qsizetype smallest = title;

// The cap of the text stored under the key.
qsizetype forKey(const PropertyKey &key);

// How many units of `text` fit into `room` without splitting a surrogate pair.
qsizetype fittingLength(QStringView text, qsizetype room);

} // namespace TextCaps
