#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class ArchiveReader;
class ArchiveWriter;
class DataItem;

// An entry's archive record, as kept in item files: the properties, then marked, shown, read and
// hidden.
class DataItemRecord {
public:
    static void encode(const DataItem &item, ArchiveWriter &coder);
    // The item a record describes, without source and with unmarkCount 0; nullptr when the record
    // is damaged (the coder's errorString() says why).
    static std::shared_ptr<DataItem> decode(ArchiveReader &coder);

private:
    // A string value of a record, decoded once the record is read.
    struct PendingText {
        size_t index; // of its property
        QByteArrayView utf8;
    };
    // The property of the key, appended without a value (`added`) when the item has none yet. A key
    // said twice in a record (a damaged or hand-made file) finds its earlier property, whose value
    // the later one replaces, as a dictionary would.
    static size_t propertyIndex(DataItem &item, const QString &name, bool &added);
    static void storeTexts(DataItem &item, const std::vector<PendingText> &texts);
};
