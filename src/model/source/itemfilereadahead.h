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
// waiting for one core. While it exists, a source created on the same thread takes its entries
// from it (Datasource::load) instead of reading its file.
class ItemFileReadAhead {
public:
    // Decodes the files of these uuids (missing ones give empty lists) and returns once all are.
    explicit ItemFileReadAhead(const QStringList &uuids);
    ~ItemFileReadAhead();
    ItemFileReadAhead(const ItemFileReadAhead &) = delete;
    ItemFileReadAhead &operator=(const ItemFileReadAhead &) = delete;

    // What was read of the uuid's file, from the read-ahead in effect on the calling thread; each
    // only once. std::nullopt when there is none for the uuid.
    static std::optional<ItemFile::Contents> take(const QString &uuid);

private:
    QHash<QString, ItemFile::Contents> m_contents;
    ItemFileReadAhead *m_outer; // the read-ahead this one hides on its thread
};
