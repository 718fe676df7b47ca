#pragma once

#include <QByteArray>
#include <QVariant>

// Writes a sequence of typed values in Vantrel's versionless binary record form, read back by
// ArchiveReader in the same order. Objects are the value types of the settings store: strings,
// integers, floats, booleans, dates, byte blobs, and arrays and string-keyed dictionaries of these.
// Any other type is written as "no value".
class ArchiveWriter {
public:
    void encodeObject(const QVariant &value);
    // A 1-byte boolean (type code "c").
    void encodeBool(bool value);
    void encodeInt32(qint32 value);

    const QByteArray &data() const { return m_data; }

private:
    void writeTag(char tag);
    void writeUInt32(quint32 value);
    void writeInt64(qint64 value);
    void writeBytes(const QByteArray &bytes);
    void writeString(const QString &string);

    QByteArray m_data;
};
