#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QtEndian>
#include <optional>
#include <utility>
#include <vector>

// Reads the values an ArchiveWriter wrote, in the same order. Every read checks the bytes it
// needs: damaged or truncated input gives std::nullopt and an errorString(), never a crash,
// and no count in the input can make the reader allocate more than the input's size suggests.
class ArchiveReader {
public:
    explicit ArchiveReader(QByteArray data);

    // A dictionary key as read. A key the reader shares has an identity, the same for every
    // reading of that name anywhere in the run, so that a caller may keep what it derives from
    // a key by its identity; nullptr for a key that is not shared.
    struct Key {
        QString name;
        const void *identity = nullptr;
    };

    std::optional<QVariant> decodeObject();
    // Reads a dictionary entry by entry, for callers that keep the entries in a form of their own
    // instead of a QVariantMap: a string value goes to visitText(const Key &, QByteArrayView utf8)
    // as the bytes of its UTF-8 form (valid as long as the reader; StringAdditions::fromUtf8 reads
    // them as decodeObject() would), every other value to visit(const Key &, QVariant &&). False,
    // with errorString(), when the next value is not an intact dictionary.
    template <typename Visitor, typename TextVisitor>
    bool decodeDictionary(Visitor &&visit, TextVisitor &&visitText);
    std::optional<bool> decodeBool();
    std::optional<qint32> decodeInt32();

    // Records damage found by the caller in otherwise well-formed values; the first message wins.
    void markDamaged(const QString &message);

    bool atEnd() const { return m_offset == m_data.size(); }
    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    // Nesting deeper than this is treated as damage.
    static constexpr int maximumDepth = 64;

private:
    // The readers of single values are small and inline: an item file is millions of them. Each
    // records the damage it finds and gives false, nullptr or std::nullopt.
    bool readValue(QVariant &value, int depth);
    bool readList(QVariant &value, int depth);
    bool readMap(QVariant &value, int depth);
    // Reads the dictionary tag and its entry count.
    std::optional<quint32> beginDictionary();
    std::optional<char> readTag()
    {
        if (hasError() || !has(1)) [[unlikely]]
            return endOfData();
        return m_data.at(m_offset++);
    }
    // A little-endian integer of T's width.
    template <typename T> std::optional<T> readInteger()
    {
        if (!has(sizeof(T))) [[unlikely]]
            return endOfData();
        const auto value = qFromLittleEndian<T>(m_data.constData() + m_offset);
        m_offset += sizeof(T);
        return value;
    }
    std::optional<quint32> readUInt32() { return readInteger<quint32>(); }
    std::optional<qint64> readInt64() { return readInteger<qint64>(); }
    // The bytes stay inside m_data.
    std::optional<QByteArrayView> readBytes()
    {
        const auto length = readUInt32();
        if (!length)
            return std::nullopt;
        if (!has(qsizetype(*length))) [[unlikely]]
            return lengthPastEnd(*length);
        const QByteArrayView bytes(m_data.constData() + m_offset, qsizetype(*length));
        m_offset += qsizetype(*length);
        return bytes;
    }
    std::optional<Key> readKey();
    // Reads a string value's bytes when a string comes next; nullopt, reading nothing, otherwise.
    std::optional<QByteArrayView> readStringBytesIfNext();
    std::optional<quint32> readCount();
    bool has(qsizetype count) const { return m_data.size() - m_offset >= count; }
    // The damage found by the readers above, out of their way.
    std::nullopt_t endOfData();
    std::nullopt_t lengthPastEnd(quint32 length);

    QByteArray m_data;
    qsizetype m_offset = 0;
    QString m_error;
    static constexpr size_t maximumSharedKeys = 32;
    static constexpr qsizetype maximumSharedKeyLength = 64;
    std::vector<std::pair<QByteArray, Key>> m_keys; // decoded map keys by their UTF-8 form
    size_t m_nextKey = 0;                           // where the next key search in m_keys starts
};

template <typename Visitor, typename TextVisitor>
bool ArchiveReader::decodeDictionary(Visitor &&visit, TextVisitor &&visitText)
{
    const auto count = beginDictionary();
    if (!count)
        return false;
    for (quint32 i = 0; i < *count; ++i) {
        const auto key = readKey();
        if (!key)
            return false;
        if (const auto text = readStringBytesIfNext()) {
            visitText(*key, *text);
            continue;
        }
        if (hasError())
            return false;
        QVariant value;
        if (!readValue(value, 1))
            return false;
        visit(*key, std::move(value));
    }
    return true;
}
