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
// A lasting key's storage is its identity. Past the limit, keys are ordinary strings without one.
ArchiveReader::Key lastingKey(const QString &key)
{
    constexpr size_t maximumLastingKeys = 256;
    static std::mutex lock;
    static auto *const keys = new std::deque<QString>; // never freed: strings in use point into it
    const std::lock_guard guard(lock);
    auto found = std::find(keys->cbegin(), keys->cend(), key);
    if (found == keys->cend()) {
        if (keys->size() == maximumLastingKeys)
            return {key, nullptr};
        keys->push_back(key);
        found = keys->cend() - 1;
    }
    return {QString::fromRawData(found->constData(), found->size()), found->constData()};
}

} // namespace

ArchiveReader::ArchiveReader(QByteArray data) : m_data(std::move(data)) {}

std::optional<QVariant> ArchiveReader::decodeObject()
{
    QVariant value;
    if (!readValue(value, 0))
        return std::nullopt;
    return value;
}

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

std::optional<QByteArrayView> ArchiveReader::readStringBytesIfNext()
{
    if (hasError() || !has(1) || m_data.at(m_offset) != ArchiveTag::string)
        return std::nullopt;
    ++m_offset;
    return readBytes();
}

bool ArchiveReader::readValue(QVariant &value, int depth)
{
    if (depth > maximumDepth) {
        markDamaged(u"values nested too deeply"_s);
        return false;
    }
    const auto tag = readTag();
    if (!tag)
        return false;
    switch (*tag) {
    case ArchiveTag::null:
        value = QVariant();
        return true;
    case ArchiveTag::string:
        if (const auto bytes = readBytes()) {
            value = QVariant(StringAdditions::fromUtf8(*bytes));
            return true;
        }
        return false;
    case ArchiveTag::integer:
        if (const auto integer = readInt64()) {
            value = QVariant(*integer);
            return true;
        }
        return false;
    case ArchiveTag::real:
        if (const auto bits = readInt64()) {
            double real;
            std::memcpy(&real, &*bits, sizeof real);
            value = QVariant(real);
            return true;
        }
        return false;
    case ArchiveTag::boolean:
        if (!has(1)) {
            markDamaged(u"truncated boolean value"_s);
            return false;
        }
        value = QVariant(m_data.at(m_offset++) != 0);
        return true;
    case ArchiveTag::date:
        if (const auto msecs = readInt64()) {
            value = QVariant(QDateTime::fromMSecsSinceEpoch(*msecs, Qt::UTC));
            return true;
        }
        return false;
    case ArchiveTag::blob:
        if (const auto bytes = readBytes()) {
            value = QVariant(bytes->toByteArray());
            return true;
        }
        return false;
    case ArchiveTag::array:
        return readList(value, depth);
    case ArchiveTag::dictionary:
        return readMap(value, depth);
    default:
        markDamaged(u"unknown value type at byte %1"_s.arg(m_offset - 1));
        return false;
    }
}

bool ArchiveReader::readList(QVariant &value, int depth)
{
    const auto count = readCount();
    if (!count)
        return false;
    QVariantList list;
    list.reserve(qsizetype(*count));
    for (quint32 i = 0; i < *count; ++i) {
        QVariant element;
        if (!readValue(element, depth + 1))
            return false;
        list.append(std::move(element));
    }
    value = QVariant(list);
    return true;
}

// Writers store a map's keys in order, so each key goes in at the end without a search.
bool ArchiveReader::readMap(QVariant &value, int depth)
{
    const auto count = readCount();
    if (!count)
        return false;
    QVariantMap map;
    for (quint32 i = 0; i < *count; ++i) {
        const auto key = readKey();
        if (!key)
            return false;
        QVariant element;
        if (!readValue(element, depth + 1))
            return false;
        map.insert(map.cend(), key->name, std::move(element));
    }
    value = QVariant(map);
    return true;
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

std::nullopt_t ArchiveReader::endOfData()
{
    markDamaged(u"unexpected end of data"_s);
    return std::nullopt;
}

std::nullopt_t ArchiveReader::lengthPastEnd(quint32 length)
{
    markDamaged(u"length %1 runs past the end of data"_s.arg(length));
    return std::nullopt;
}

// A file repeats the same few keys in every record, in the same order: each is decoded once and
// then shared, and the search starts after the key found last.
std::optional<ArchiveReader::Key> ArchiveReader::readKey()
{
    const auto bytes = readBytes();
    if (!bytes)
        return std::nullopt;
    const size_t known = m_keys.size();
    for (size_t i = 0; i < known; ++i) {
        const size_t index = m_nextKey + i < known ? m_nextKey + i : m_nextKey + i - known;
        const QByteArray &candidate = m_keys[index].first;
        if (candidate.size() == bytes->size() &&
            std::memcmp(candidate.constData(), bytes->data(), bytes->size()) == 0) {
            m_nextKey = index + 1 < known ? index + 1 : 0;
            return m_keys[index].second;
        }
    }
    const QString name = StringAdditions::fromUtf8(*bytes);
    if (known < maximumSharedKeys && bytes->size() <= maximumSharedKeyLength) {
        m_keys.emplace_back(bytes->toByteArray(), lastingKey(name));
        m_nextKey = 0;
        return m_keys.back().second;
    }
    return Key{name, nullptr};
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
