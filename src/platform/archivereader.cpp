#include "platform/archivereader.h"

#include "platform/archivetags.h"
#include "support/stringadditions.h"

#include <QDateTime>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

// The keys of all readers, kept for the whole run. Every file names its values with the same few
// keys, and a string over storage that is never freed is copied and released without touching a
// reference count: two atomic updates saved per value read, and as many when the value goes.
// Past the limit, keys are ordinary strings.
QString lastingKey(const QString &key)
{
    constexpr size_t maximumLastingKeys = 256;
    static std::mutex lock;
    static auto *const keys = new std::deque<QString>; // never freed: strings in use point into it
    const std::lock_guard guard(lock);
    auto found = std::find(keys->cbegin(), keys->cend(), key);
    if (found == keys->cend()) {
        if (keys->size() == maximumLastingKeys)
            return key;
        keys->push_back(key);
        found = keys->cend() - 1;
    }
    return QString::fromRawData(found->constData(), found->size());
}

} // namespace

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
        return readString();
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

std::optional<QVariant> ArchiveReader::readString()
{
    const auto bytes = readBytes();
    if (!bytes)
        return std::nullopt;
    return QVariant(StringAdditions::fromUtf8(*bytes));
}

// A file repeats the same few keys in every record, in the same order: each is decoded once and
// then shared, and the search starts after the key found last.
std::optional<QString> ArchiveReader::readKey()
{
    const auto bytes = readBytes();
    if (!bytes)
        return std::nullopt;
    const size_t known = m_keys.size();
    for (size_t i = 0; i < known; ++i) {
        const size_t index = m_nextKey + i < known ? m_nextKey + i : m_nextKey + i - known;
        if (m_keys[index].first == *bytes) {
            m_nextKey = index + 1 < known ? index + 1 : 0;
            return m_keys[index].second;
        }
    }
    QString key = StringAdditions::fromUtf8(*bytes);
    if (known < maximumSharedKeys && bytes->size() <= maximumSharedKeyLength) {
        key = lastingKey(key);
        m_keys.emplace_back(bytes->toByteArray(), key);
        m_nextKey = 0;
    }
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
