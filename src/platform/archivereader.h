#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

// Reads the values an ArchiveWriter wrote, in the same order. Every read checks the bytes it
// needs: damaged or truncated input gives std::nullopt and an errorString(), never a crash,
// and no count in the input can make the reader allocate more than the input's size suggests.
class ArchiveReader {
public:
    explicit ArchiveReader(QByteArray data);

    std::optional<QVariant> decodeObject();
    // Reads a dictionary entry by entry, handing each key and value to visit(QString, QVariant),
    // for callers that keep the entries in a form of their own instead of a QVariantMap. False,
    // with errorString(), when the next value is not an intact dictionary.
    template <typename Visitor>
    bool decodeDictionary(Visitor &&visit);
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
    std::optional<QVariant> readValue(int depth);
    std::optional<QVariant> readList(int depth);
    std::optional<QVariant> readMap(int depth);
    // Reads the dictionary tag and its entry count.
    std::optional<quint32> beginDictionary();
    std::optional<char> readTag();
    std::optional<quint32> readUInt32();
    std::optional<qint64> readInt64();
    // The bytes stay inside m_data.
    std::optional<QByteArrayView> readBytes();
    std::optional<QVariant> readString();
    std::optional<QString> readKey();
    std::optional<quint32> readCount();
    bool has(qsizetype count) const { return m_data.size() - m_offset >= count; }

    QByteArray m_data;
    qsizetype m_offset = 0;
    QString m_error;
    static constexpr size_t maximumSharedKeys = 32;
    static constexpr qsizetype maximumSharedKeyLength = 64;
    std::vector<std::pair<QByteArray, QString>> m_keys; // decoded map keys by their UTF-8 form
    size_t m_nextKey = 0;                               // where the next key search in m_keys starts
};

template <typename Visitor>
bool ArchiveReader::decodeDictionary(Visitor &&visit)
{
    const auto count = beginDictionary();
    if (!count)
        return false;
    for (quint32 i = 0; i < *count; ++i) {
        auto key = readKey();
        if (!key)
            return false;
        auto value = readValue(1);
        if (!value)
            return false;
        visit(std::move(*key), std::move(*value));
    }
    return true;
}
