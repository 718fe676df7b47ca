#pragma once

#include "model/entry/dataitem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QFile;

// The file in which a source keeps its entries between runs: "<uuid>.db" in the caches folder.
// A versioned binary file, written whole or not at all (temporary file and rename).
class ItemFile {
public:
    // What a read found.
    struct Contents {
        QList<DataItemPtr> items;
        // Why a file that exists could not be read (or not be set aside); empty otherwise. Such a
        // file is left as it is, and the source must not replace it.
        QString unreadable;
    };

    // Files larger than this are set aside unread: no source stores that much, and reading one
    // whole would take its size in memory at once.
    static constexpr qint64 largestReadable = qint64(256) << 20;

    // The file of the source with this uuid. A uuid that is not a safe file name is replaced by
    // its hash, so no uuid can name a path outside the caches folder.
    explicit ItemFile(const QString &uuid);

    QString path() const { return m_path; }
    bool exists() const;

    // The stored entries, in order; none when there is no file. A file that cannot be decoded,
    // or is larger than largestReadable, is moved aside (a warning names the new name).
    Contents read() const;
    QList<DataItemPtr> load() const { return read().items; }
    // Replaces the file with these entries, whole or not at all. False, with a warning and the
    // reason in `error`, when it cannot be written; the old file then stays as it was.
    bool save(const QList<DataItemPtr> &items, QString *error = nullptr) const;
    bool remove() const;

    static QString fileNameForUuid(const QString &uuid);

private:
    static QByteArray &readBuffer();
    static bool readWhole(QFile &file, qint64 size, QByteArray &bytes);
    static constexpr qsizetype keptBufferCapacity = 4 << 20;

    std::optional<QList<DataItemPtr>> decode(const QByteArray &bytes, QString *error) const;
    // Renames the file aside; false (with a warning) when it cannot be.
    bool moveAside(const QString &reason) const;
    Contents setAside(const QString &reason) const;
    Contents unreadable(const QFile &file) const;

    QString m_path;
};
