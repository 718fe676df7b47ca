#pragma once

#include "model/dataitem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QFile;

// The file in which a source keeps its entries between runs: "<uuid>.db" in the caches folder.
// A versioned binary file, written whole or not at all (temporary file and rename).
class ItemFile {
public:
    // The file of the source with this uuid. A uuid that is not a safe file name is replaced by
    // its hash, so no uuid can name a path outside the caches folder.
    explicit ItemFile(const QString &uuid);

    QString path() const { return m_path; }
    bool exists() const;

    // The stored entries, in order; an empty list when there is no file. A file that cannot be
    // decoded is moved aside (a warning names the new name) and gives an empty list.
    QList<DataItemPtr> load() const;
    // Replaces the file with these entries. False, with a warning, when it cannot be written.
    bool save(const QList<DataItemPtr> &items) const;
    bool remove() const;

    static QString fileNameForUuid(const QString &uuid);

private:
    static QByteArray &readBuffer();
    static bool readWhole(QFile &file, QByteArray &bytes);
    static constexpr qsizetype keptBufferCapacity = 4 << 20;

    std::optional<QList<DataItemPtr>> decode(const QByteArray &bytes, QString *error) const;
    void moveAside(const QString &reason) const;

    QString m_path;
};
