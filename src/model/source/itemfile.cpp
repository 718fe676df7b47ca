#include "model/source/itemfile.h"

#include "platform/archivereader.h"
#include "platform/archivewriter.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
const QByteArray magic = QByteArrayLiteral("VantrelItems");
constexpr char formatVersion = 1;
} // namespace

ItemFile::ItemFile(const QString &uuid)
{
    // cachesFolder() creates the folder.
    m_path = QDir(Paths::cachesFolder()).filePath(fileNameForUuid(uuid));
}

QString ItemFile::fileNameForUuid(const QString &uuid)
{
    static const QRegularExpression safeName(u"^[A-Za-z0-9][A-Za-z0-9._-]{0,127}$"_s);
    if (safeName.match(uuid).hasMatch())
        return uuid + u".db"_s;
    const QByteArray hash = QCryptographicHash::hash(uuid.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(hash) + u".db"_s;
}

bool ItemFile::exists() const
{
    return QFile::exists(m_path);
}

ItemFile::Contents ItemFile::read() const
{
    // Opened without asking first whether it exists: start-up opens a thousand files that do.
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (!file.exists())
            return {};
        return unreadable(file);
    }
    const qint64 size = file.size();
    if (size > largestReadable)
        return setAside(u"it is larger than %1 MiB"_s.arg(largestReadable >> 20));
    QByteArray &bytes = readBuffer();
    if (!readWhole(file, size, bytes))
        return unreadable(file);
    QString error;
    auto items = decode(bytes, &error);
    if (bytes.capacity() > keptBufferCapacity)
        bytes = QByteArray();
    if (items)
        return {std::move(*items), {}};
    return setAside(error);
}

ItemFile::Contents ItemFile::unreadable(const QFile &file) const
{
    const QString reason = u"%1 cannot be read (%2); it is left as it is"_s.arg(m_path, file.errorString());
    qWarning("Item file %s", qPrintable(reason));
    return {{}, reason};
}

ItemFile::Contents ItemFile::setAside(const QString &reason) const
{
    if (moveAside(reason))
        return {};
    return {{}, u"%1 cannot be read (%2) nor moved aside; it is left as it is"_s.arg(m_path, reason)};
}

// Start-up reads a thousand files in a row: one buffer per thread, reused, spares allocating
// (and the heap trimming and growing again for) each file's size. The decoded entries copy
// what they keep out of it.
QByteArray &ItemFile::readBuffer()
{
    thread_local QByteArray buffer;
    return buffer;
}

bool ItemFile::readWhole(QFile &file, qint64 size, QByteArray &bytes)
{
    bytes.resize(qsizetype(size));
    qsizetype total = 0;
    while (total < bytes.size()) {
        const qint64 read = file.read(bytes.data() + total, bytes.size() - total);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        total += qsizetype(read);
    }
    bytes.truncate(total);
    return true;
}

bool ItemFile::save(const QList<DataItemPtr> &items, QString *error) const
{
    ArchiveWriter writer;
    writer.encodeInt32(qint32(items.size()));
    for (const DataItemPtr &item : items)
        item->encodeWithCoder(writer);

    const QString failure =
        AtomicFile::replace(m_path, {magic, QByteArrayView(&formatVersion, 1), writer.data()});
    if (failure.isEmpty())
        return true;
    const QString reason = u"%1 cannot be written: %2"_s.arg(m_path, failure);
    qWarning("Item file not saved: %s", qPrintable(reason));
    if (error)
        *error = reason;
    return false;
}

bool ItemFile::remove() const
{
    return !exists() || QFile::remove(m_path);
}

std::optional<QList<DataItemPtr>> ItemFile::decode(const QByteArray &bytes, QString *error) const
{
    if (!bytes.startsWith(magic) || bytes.size() <= magic.size()) {
        *error = u"not an item file"_s;
        return std::nullopt;
    }
    if (bytes.at(magic.size()) != formatVersion) {
        *error = u"unknown item file version %1"_s.arg(int(bytes.at(magic.size())));
        return std::nullopt;
    }
    // A view of the records, not a copy; `bytes` outlives the reader.
    ArchiveReader reader(
        QByteArray::fromRawData(bytes.constData() + magic.size() + 1, bytes.size() - magic.size() - 1));
    const auto count = reader.decodeInt32();
    if (count && *count < 0)
        reader.markDamaged(u"negative item count"_s);
    QList<DataItemPtr> items;
    for (qint32 i = 0; count && !reader.hasError() && i < *count; ++i) {
        if (DataItemPtr item = DataItem::initWithCoder(reader))
            items.append(std::move(item));
    }
    if (!reader.hasError() && !reader.atEnd())
        reader.markDamaged(u"unexpected data after the last item"_s);
    if (reader.hasError()) {
        *error = reader.errorString();
        return std::nullopt;
    }
    return items;
}

bool ItemFile::moveAside(const QString &reason) const
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-HHmmss"_s);
    const QString aside = m_path + u".damaged-"_s + stamp;
    if (QFile::rename(m_path, aside)) {
        qWarning("Item file %s cannot be used (%s); moved it to %s and started empty", qPrintable(m_path),
                 qPrintable(reason), qPrintable(aside));
        return true;
    }
    qWarning("Item file %s cannot be used (%s) nor moved aside; it is left as it is", qPrintable(m_path),
             qPrintable(reason));
    return false;
}
