#pragma once

#include "model/entry/propertykey.h"

#include <QLatin1String>

// Keys of an entry's dictionary that the program itself reads or writes. The parser stores every
// other element of an entry under its qualified name as written in the document.
namespace ItemKey {
inline constexpr QLatin1String title{"title"};
inline constexpr QLatin1String link{"link"};
inline constexpr QLatin1String description{"description"};
inline constexpr QLatin1String contentEncoded{"content:encoded"};
inline constexpr QLatin1String guid{"guid"};
inline constexpr QLatin1String pubDate{"pubDate"};
inline constexpr QLatin1String pubdate{"pubdate"};
inline constexpr QLatin1String published{"published"};
inline constexpr QLatin1String dcDate{"dc:date"};
inline constexpr QLatin1String href{"href"};
inline constexpr QLatin1String originalDate{"originalDate"};
inline constexpr QLatin1String parsedDate{"parsedDate"};
inline constexpr QLatin1String sequence{"sequence"};
inline constexpr QLatin1String mark{"mark"};
inline constexpr QLatin1String name{"name"};
// Answered by the item itself, never stored.
inline constexpr QLatin1String datasourceName{"datasource_name"};
inline constexpr QLatin1String datasource{"datasource"};
} // namespace ItemKey

// The stored keys above as PropertyKeys, made once: an item finds one of them by comparing one
// pointer per property instead of the names.
struct ItemPropertyKeys {
    PropertyKey title{ItemKey::title};
    PropertyKey link{ItemKey::link};
    PropertyKey description{ItemKey::description};
    PropertyKey contentEncoded{ItemKey::contentEncoded};
    PropertyKey guid{ItemKey::guid};
    PropertyKey pubDate{ItemKey::pubDate};
    PropertyKey pubdate{ItemKey::pubdate};
    PropertyKey published{ItemKey::published};
    PropertyKey dcDate{ItemKey::dcDate};
    PropertyKey href{ItemKey::href};
    PropertyKey originalDate{ItemKey::originalDate};
    PropertyKey parsedDate{ItemKey::parsedDate};
    PropertyKey sequence{ItemKey::sequence};
    PropertyKey mark{ItemKey::mark};
    PropertyKey name{ItemKey::name};

    static const ItemPropertyKeys &get()
    {
        static const ItemPropertyKeys keys;
        return keys;
    }
};
