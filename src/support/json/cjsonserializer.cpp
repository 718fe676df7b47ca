#include "cjsonserializer.h"

#include "cjsonserializeddata.h"
#include "decimalnumber.h"
#include "utf8.h"

#include <QLocale>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Output of one string is built in a small buffer and flushed, so that a long string
// never needs a worst-case-sized allocation.
class StringWriter {
public:
    explicit StringWriter(QByteArray *out) : m_out(out) {}
    ~StringWriter() { flush(); }
    StringWriter(const StringWriter &) = delete;
    StringWriter &operator=(const StringWriter &) = delete;

    void put(char c)
    {
        if (m_used == sizeof m_buffer)
            flush();
        m_buffer[m_used++] = c;
    }
    void put(char a, char b)
    {
        put(a);
        put(b);
    }
    void putUnicodeEscape(char16_t unit)
    {
        static constexpr char hex[] = "0123456789abcdef";
        put('\\', 'u');
        put(hex[unit >> 12 & 0xF], hex[unit >> 8 & 0xF]);
        put(hex[unit >> 4 & 0xF], hex[unit & 0xF]);
    }
    void putCodePoint(char32_t c)
    {
        if (c < 0x800) {
            put(char(0xC0 | c >> 6), char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            put(char(0xE0 | c >> 12));
            put(char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F)));
        } else {
            put(char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)));
            put(char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F)));
        }
    }
    void flush()
    {
        m_out->append(m_buffer, m_used);
        m_used = 0;
    }

private:
    QByteArray *m_out;
    char m_buffer[4096];
    qsizetype m_used = 0;
};

void writeEscapedAscii(StringWriter &writer, char16_t c)
{
    switch (c) {
    case '"':
        return writer.put('\\', '"');
    case '\\':
        return writer.put('\\', '\\');
    case '/':
        return writer.put('\\', '/');
    case 8:
        return writer.put('\\', 'b');
    case 9:
        return writer.put('\\', 't');
    case 10:
        return writer.put('\\', 'n');
    case 12:
        return writer.put('\\', 'f');
    case 13:
        return writer.put('\\', 'r');
    default:
        // Raw control characters are not allowed inside JSON strings.
        if (c < 0x20)
            return writer.putUnicodeEscape(c);
        return writer.put(char(c));
    }
}

QString describe(const QVariant &object)
{
    if (object.metaType().id() == QMetaType::QByteArray)
        return u"<"_s + QString::fromLatin1(object.toByteArray().left(32).toHex()) + u">"_s;
    return object.toString();
}

} // namespace

std::optional<QByteArray> CJSONSerializer::serializeObject(const QVariant &object, JSONError *outError)
{
    QByteArray out;
    if (!writeObject(object, &out, outError))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> CJSONSerializer::serializeNull(JSONError *)
{
    return QByteArrayLiteral("null");
}

std::optional<QByteArray> CJSONSerializer::serializeNumber(const QVariant &number, JSONError *outError)
{
    QByteArray out;
    if (!writeNumber(number, &out, outError))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> CJSONSerializer::serializeString(const QString &string, JSONError *)
{
    QByteArray out;
    writeString(string, &out);
    return out;
}

std::optional<QByteArray> CJSONSerializer::serializeArray(const QVariantList &array, JSONError *outError)
{
    QByteArray out;
    if (!writeArray(array, &out, outError))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> CJSONSerializer::serializeDictionary(const QVariantMap &dictionary,
                                                               JSONError *outError)
{
    QByteArray out;
    if (!writeDictionary(dictionary, &out, outError))
        return std::nullopt;
    return out;
}

bool CJSONSerializer::writeObject(const QVariant &object, QByteArray *out, JSONError *outError)
{
    return writePlainObject(object, out, outError);
}

bool CJSONSerializer::writePlainObject(const QVariant &object, QByteArray *out, JSONError *outError)
{
    const QMetaType type = object.metaType();
    switch (type.id()) {
    case QMetaType::Nullptr:
        out->append("null");
        return true;
    case QMetaType::Bool:
        out->append(object.toBool() ? "true" : "false");
        return true;
    case QMetaType::QString:
        writeString(object.toString(), out);
        return true;
    case QMetaType::QVariantList:
        return writeArray(object.toList(), out, outError);
    case QMetaType::QStringList: {
        const QStringList strings = object.toStringList();
        return writeArray(QVariantList(strings.cbegin(), strings.cend()), out, outError);
    }
    case QMetaType::QVariantMap:
        return writeDictionary(object.toMap(), out, outError);
    case QMetaType::QVariantHash:
        return writeDictionary(object.toHash(), out, outError);
    case QMetaType::QByteArray: {
        const QByteArray bytes = object.toByteArray();
        if (!isValidUtf8(bytes.constBegin(), bytes.constEnd()))
            return couldNotSerialize(describe(object), outError);
        writeString(stringFromUtf8(bytes), out);
        return true;
    }
    default:
        break;
    }
    if (type == QMetaType::fromType<CJSONSerializedData>()) {
        const QByteArray bytes = object.value<CJSONSerializedData>().JSONDataRepresentation();
        if (bytes.isEmpty())
            return couldNotSerialize(describe(object), outError);
        out->append(bytes);
        return true;
    }
    return writeNumber(object, out, outError);
}

bool CJSONSerializer::writeNumber(const QVariant &number, QByteArray *out, JSONError *outError)
{
    const QMetaType type = number.metaType();
    switch (type.id()) {
    case QMetaType::Bool:
        out->append(number.toBool() ? "true" : "false");
        return true;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
        out->append(QByteArray::number(number.toLongLong()));
        return true;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        out->append(QByteArray::number(number.toULongLong()));
        return true;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double value = number.toDouble();
        // NaN and the infinities have no JSON form.
        if (!std::isfinite(value))
            return couldNotSerialize(QString::number(value), outError);
        out->append(QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
        return true;
    }
    default:
        break;
    }
    if (type == QMetaType::fromType<DecimalNumber>()) {
        out->append(number.value<DecimalNumber>().toJSON());
        return true;
    }
    return cannotSerialize(number, outError);
}

void CJSONSerializer::writeString(QStringView string, QByteArray *out)
{
    out->reserve(out->size() + string.size() + 2);
    StringWriter writer(out);
    writer.put('"');
    const char16_t *p = string.utf16();
    const char16_t *const end = p + string.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            writeEscapedAscii(writer, c);
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            writer.putCodePoint(QChar::surrogateToUcs4(c, *p++));
        } else if (QChar::isSurrogate(c)) {
            // A lone surrogate has no UTF-8 form; the escape keeps it for the reader.
            writer.putUnicodeEscape(c);
        } else {
            writer.putCodePoint(c);
        }
    }
    writer.put('"');
}

bool CJSONSerializer::writeArray(const QVariantList &array, QByteArray *out, JSONError *outError)
{
    out->append('[');
    bool first = true;
    for (const QVariant &element : array) {
        if (!first)
            out->append(',');
        first = false;
        if (!writeObject(element, out, outError))
            return false;
    }
    out->append(']');
    return true;
}

template <typename Dictionary>
bool CJSONSerializer::writeDictionary(const Dictionary &dictionary, QByteArray *out, JSONError *outError)
{
    out->append('{');
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        if (it != dictionary.cbegin())
            out->append(',');
        writeString(it.key(), out);
        out->append(':');
        if (!writeObject(it.value(), out, outError))
            return false;
    }
    out->append('}');
    return true;
}

bool CJSONSerializer::cannotSerialize(const QVariant &object, JSONError *outError)
{
    const char *name = object.typeName();
    const QString typeName = name ? QString::fromLatin1(name) : u"invalid"_s;
    reportJSONError(
        outError,
        JSONError{CJSONSerializerErrorDomain, -1, u"Cannot serialize data of type '%1'"_s.arg(typeName), {}});
    return false;
}

bool CJSONSerializer::couldNotSerialize(const QString &description, JSONError *outError)
{
    reportJSONError(
        outError,
        JSONError{CJSONSerializerErrorDomain, -1, u"Could not serialize object '%1'"_s.arg(description), {}});
    return false;
}
