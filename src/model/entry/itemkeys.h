#pragma once

#include "model/entry/propertykey.h"

#include <QLatin1String>
#include <array>

// Keys of an entry's dictionary that the program itself reads or writes, listed once: the names,
// the interned keys and the key table's first names are all made from this list. The parser
// stores every other element of an entry under its qualified name as written in the document.
#define VANTREL_STORED_ITEM_KEYS(KEY)                                                                        \
    KEY(title, "title")                                                                                      \
    KEY(link, "link")                                                                                        \
    KEY(description, "description")                                                                          \
    KEY(contentEncoded, "content:encoded")                                                                   \
    KEY(guid, "guid")                                                                                        \
    KEY(pubDate, "pubDate")                                                                                  \
    KEY(pubdate, "pubdate")                                                                                  \
    KEY(published, "published")                                                                              \
    KEY(dcDate, "dc:date")                                                                                   \
    KEY(href, "href")                                                                                        \
    KEY(originalDate, "originalDate")                                                                        \
    KEY(parsedDate, "parsedDate")                                                                            \
    KEY(sequence, "sequence")                                                                                \
    KEY(mark, "mark")                                                                                        \
    KEY(name, "name")

namespace ItemKey {
#define VANTREL_ITEM_KEY_NAME(member, text) inline constexpr QLatin1String member{text};
VANTREL_STORED_ITEM_KEYS(VANTREL_ITEM_KEY_NAME)
#undef VANTREL_ITEM_KEY_NAME

#define VANTREL_ITEM_KEY_ELEMENT(member, text) member,
inline constexpr std::array stored{VANTREL_STORED_ITEM_KEYS(VANTREL_ITEM_KEY_ELEMENT)};
#undef VANTREL_ITEM_KEY_ELEMENT

// Answered by the item itself, never stored.
inline constexpr QLatin1String datasourceName{"datasource_name"};
inline constexpr QLatin1String datasource{"datasource"};
} // namespace ItemKey

// The stored keys above as PropertyKeys, made once: an item finds one of them by comparing one
// pointer per property instead of the names.
struct ItemPropertyKeys {
#define VANTREL_ITEM_PROPERTY_KEY(member, text) PropertyKey member{ItemKey::member};
    VANTREL_STORED_ITEM_KEYS(VANTREL_ITEM_PROPERTY_KEY)
#undef VANTREL_ITEM_PROPERTY_KEY

    // The key named so; nullptr when the name is not one of the stored keys.
    const PropertyKey *find(QLatin1StringView keyName) const
    {
#define VANTREL_ITEM_KEY_MATCH(member, text)                                                                 \
    if (keyName == ItemKey::member)                                                                          \
        return &member;
        VANTREL_STORED_ITEM_KEYS(VANTREL_ITEM_KEY_MATCH)
#undef VANTREL_ITEM_KEY_MATCH
        return nullptr;
    }

    static const ItemPropertyKeys &get()
    {
        static const ItemPropertyKeys keys;
        return keys;
    }
};
