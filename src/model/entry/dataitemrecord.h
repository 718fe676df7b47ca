#pragma once

#include <QString>
#include <QVariant>
#include <memory>

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
    // A key said twice in a record (a damaged or hand-made file) replaces its earlier value, as a
    // dictionary would. True when the key was new and appended.
    static bool addProperty(DataItem &item, const QString &name, QVariant &&value);
};
