#include "platform/archivereader.h"

#include "platform/archivetags.h"
#include "support/stringadditions.h"

#include <QDateTime>
#include <QtEndian>
#include <cstring>

using namespace Qt::StringLiterals;

ArchiveReader::ArchiveReader(QByteArray data) : m_data(std::move(data)) {}

std::optional<QVariant> ArchiveReader::decodeObject() { return readValue(0); }

std::optional<bool> ArchiveReader::decodeBool()
{
    const auto tag = readTag();
    if (!tag)
        return std::nullopt;
    if (*tag != ArchiveTag::charCode) {
        markDamaged(u"expected a boolean value"_s);
        return std::nullopt;
    }
    if (!has(1)) {
        markDamaged(u"truncated boolean value"_s);
        return std::nullopt;
    }
    return m_data.at(m_offset++) != 0;
}

std::optional<qint32> ArchiveReader::decodeInt32()
{
    const auto tag = readTag();
    if (!tag)
        return std::nullopt;
    if (*tag != ArchiveTag::int32) {
        markDamaged(u"expected a 32-bit integer"_s);
        return std::nullopt;
    }
    const auto value = readUInt32();
    if (!value)
        return std::nullopt;
    return qint32(*value);
}

std::optional<QVariant> ArchiveReader::readValue(int depth)
{
    if (depth > maximumDepth) {
        markDamaged(u"values nested too deeply"_s);
        return std::nullopt;
    }
    const auto tag = readTag();
    if (!tag)
        return std::nullopt;
    switch (*tag) {
    case ArchiveTag::null:
        return QVariant();
    case ArchiveTag::string:
        if (auto string = readString())
            return QVariant(*string);
        return std::nullopt;
    case ArchiveTag::integer:
        if (auto integer = readInt64())
            return QVariant(*integer);
        return std::nullopt;
    case ArchiveTag::real:
        if (auto bits = readInt64()) {
            double real;
            std::memcpy(&real, &*bits, sizeof real);
            return QVariant(real);
        }
        return std::nullopt;
    case ArchiveTag::boolean:
        if (!has(1)) {
            markDamaged(u"truncated boolean value"_s);
            return std::nullopt;
        }
        return QVariant(m_data.at(m_offset++) != 0);
    case ArchiveTag::date:
        if (auto msecs = readInt64())
            return QVariant(QDateTime::fromMSecsSinceEpoch(*msecs, Qt::UTC));
        return std::nullopt;
    case ArchiveTag::blob:
        if (auto bytes = readBytes())
            return QVariant(bytes->toByteArray());
        return std::nullopt;
    case ArchiveTag::array:
        return readList(depth);
    case ArchiveTag::dictionary:
        return readMap(depth);
    default:
        markDamaged(u"unknown value type at byte %1"_s.arg(m_offset - 1));
        return std::nullopt;
    }
}

std::optional<QVariant> ArchiveReader::readList(int depth)
{
    const auto count = readCount();
    if (!count)
        return std::nullopt;
    QVariantList list;
    list.reserve(qsizetype(*count));
    for (quint32 i = 0; i < *count; ++i) {
        auto element = readValue(depth + 1);
        if (!element)
            return std::nullopt;
        list.append(std::move(*element));
    }
    return QVariant(list);
}

// Writers store a map's keys in order, so each key goes in at the end without a search.
std::optional<QVariant> ArchiveReader::readMap(int depth)
{
    const auto count = readCount();
    if (!count)
        return std::nullopt;
    QVariantMap map;
    for (quint32 i = 0; i < *count; ++i) {
        auto key = readKey();
        if (!key)
            return std::nullopt;
        auto value = readValue(depth + 1);
        if (!value)
            return std::nullopt;
        map.insert(map.cend(), *key, std::move(*value));
    }
    return QVariant(map);
}

std::optional<quint32> ArchiveReader::beginDictionary()
{
    const auto tag = readTag();
    if (!tag)
        return std::nullopt;
    if (*tag != ArchiveTag::dictionary) {
        markDamaged(u"expected a dictionary"_s);
        return std::nullopt;
    }
    return readCount();
}

std::optional<char> ArchiveReader::readTag()
{
    if (hasError())
        return std::nullopt;
    if (!has(1)) {
        markDamaged(u"unexpected end of data"_s);
        return std::nullopt;
    }
    return m_data.at(m_offset++);
}

std::optional<quint32> ArchiveReader::readUInt32()
{
    if (!has(4)) {
        markDamaged(u"unexpected end of data"_s);
        return std::nullopt;
    }
    const quint32 value = qFromLittleEndian<quint32>(m_data.constData() + m_offset);
    m_offset += 4;
    return value;
}

std::optional<qint64> ArchiveReader::readInt64()
{
    if (!has(8)) {
        markDamaged(u"unexpected end of data"_s);
        return std::nullopt;
    }
    const qint64 value = qFromLittleEndian<qint64>(m_data.constData() + m_offset);
    m_offset += 8;
    return value;
}

std::optional<QByteArrayView> ArchiveReader::readBytes()
{
    const auto length = readUInt32();
    if (!length)
        return std::nullopt;
    if (!has(qsizetype(*length))) {
        markDamaged(u"length %1 runs past the end of data"_s.arg(*length));
        return std::nullopt;
    }
    const QByteArrayView bytes(m_data.constData() + m_offset, qsizetype(*length));
    m_offset += qsizetype(*length);
    return bytes;
}

std::optional<QString> ArchiveReader::readString()
{
    const auto bytes = readBytes();
    if (!bytes)
        return std::nullopt;
    return StringAdditions::isAscii(*bytes) ? QString::fromLatin1(*bytes) : QString::fromUtf8(*bytes);
}

// A file repeats the same few keys in every record: each is decoded once and then shared.
std::optional<QString> ArchiveReader::readKey()
{
    const auto bytes = readBytes();
    if (!bytes)
        return std::nullopt;
    for (const auto &[utf8, key] : m_keys)
        if (utf8 == *bytes)
            return key;
    QString key = QString::fromUtf8(*bytes);
    if (m_keys.size() < maximumSharedKeys && bytes->size() <= maximumSharedKeyLength)
        m_keys.emplace_back(bytes->toByteArray(), key);
    return key;
}

// Every element takes at least one byte, so a count larger than the bytes left is damage.
std::optional<quint32> ArchiveReader::readCount()
{
    const auto count = readUInt32();
    if (count && !has(qsizetype(*count))) {
        markDamaged(u"count %1 runs past the end of data"_s.arg(*count));
        return std::nullopt;
    }
    return count;
}

void ArchiveReader::markDamaged(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}
