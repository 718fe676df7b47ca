#pragma once

#include "model/entry/dataitem.h"
#include "model/source/itemfile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The item files of sources about to be created, decoded ahead on every core: start-up reads a
// thousand files, and decoding them one after another on the main thread would keep the program
// waiting for one core. A source given it at load takes its entries from it instead of reading
// its file.
class ItemFileReadAhead {
public:
    // Decodes the files of these uuids (missing ones give empty lists) and returns once all are.
    explicit ItemFileReadAhead(const QStringList &uuids);
    ItemFileReadAhead(const ItemFileReadAhead &) = delete;
    ItemFileReadAhead &operator=(const ItemFileReadAhead &) = delete;

    // What was read of the uuid's file, each only once. std::nullopt when there is none for the
    // uuid.
    std::optional<ItemFile::Contents> take(const QString &uuid);

private:
    QHash<QString, ItemFile::Contents> m_contents;
};
