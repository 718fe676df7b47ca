#include "platform/archivewriter.h"

#include "platform/archivetags.h"

#include <QDateTime>
#include <QtEndian>
#include <cstring>

void ArchiveWriter::encodeObject(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        writeTag(ArchiveTag::string);
        writeString(value.toString());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
        writeTag(ArchiveTag::integer);
        writeInt64(value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        writeTag(ArchiveTag::real);
        const double real = value.toDouble();
        qint64 bits;
        std::memcpy(&bits, &real, sizeof bits);
        writeInt64(bits);
        break;
    }
    case QMetaType::Bool:
        writeTag(ArchiveTag::boolean);
        m_data.append(value.toBool() ? '\1' : '\0');
        break;
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        if (!date.isValid()) {
            writeTag(ArchiveTag::null);
            break;
        }
        writeTag(ArchiveTag::date);
        writeInt64(date.toMSecsSinceEpoch());
        break;
    }
    case QMetaType::QByteArray:
        writeTag(ArchiveTag::blob);
        writeBytes(value.toByteArray());
        break;
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList list = value.toList();
        writeTag(ArchiveTag::array);
        writeUInt32(quint32(list.size()));
        for (const QVariant &element : list)
            encodeObject(element);
        break;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        const QVariantMap map = value.toMap();
        writeTag(ArchiveTag::dictionary);
        writeUInt32(quint32(map.size()));
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            writeString(it.key());
            encodeObject(it.value());
        }
        break;
    }
    default:
        writeTag(ArchiveTag::null);
        break;
    }
}

void ArchiveWriter::encodeBool(bool value)
{
    writeTag(ArchiveTag::charCode);
    m_data.append(value ? '\1' : '\0');
}

void ArchiveWriter::encodeInt32(qint32 value)
{
    writeTag(ArchiveTag::int32);
    writeUInt32(quint32(value));
}

void ArchiveWriter::writeTag(char tag)
{
    m_data.append(tag);
}

void ArchiveWriter::writeUInt32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 4);
}

void ArchiveWriter::writeInt64(qint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 8);
}

void ArchiveWriter::writeBytes(const QByteArray &bytes)
{
    writeUInt32(quint32(bytes.size()));
    m_data.append(bytes);
}

void ArchiveWriter::writeString(const QString &string)
{
    writeBytes(string.toUtf8());
}
