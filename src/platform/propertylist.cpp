#include "platform/propertylist.h"

#include <QDateTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Deeper nesting than any setting needs; stops a hostile file from exhausting the stack.
constexpr int maximumDepth = 200;

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Carriage returns count as unwritable: an XML reader turns them into line feeds.
bool isVerbatimWritable(const QString &text)
{
    for (char32_t c : text.toUcs4()) {
        if (c == 0xD || !isXmlCharacter(c))
            return false;
    }
    return true;
}

void writeText(QXmlStreamWriter &writer, const QString &element, const QString &text)
{
    writer.writeStartElement(element);
    if (isVerbatimWritable(text)) {
        writer.writeCharacters(text);
    } else {
        writer.writeAttribute(u"encoding"_s, u"base64"_s);
        writer.writeCharacters(QString::fromLatin1(text.toUtf8().toBase64()));
    }
    writer.writeEndElement();
}

void writeValue(QXmlStreamWriter &writer, const QVariant &value);

void writeDictionary(QXmlStreamWriter &writer, const QVariantMap &dictionary)
{
    writer.writeStartElement(u"dict"_s);
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        writeText(writer, u"key"_s, it.key());
        writeValue(writer, it.value());
    }
    writer.writeEndElement();
}

void writeValue(QXmlStreamWriter &writer, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        writeText(writer, u"string"_s, value.toString());
        break;
    case QMetaType::LongLong:
        writer.writeTextElement(u"integer"_s, QString::number(value.toLongLong()));
        break;
    case QMetaType::Double:
        writer.writeTextElement(u"real"_s,
                                QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
        break;
    case QMetaType::Bool:
        writer.writeEmptyElement(value.toBool() ? u"true"_s : u"false"_s);
        break;
    case QMetaType::QDateTime:
        writer.writeTextElement(u"date"_s, value.toDateTime().toUTC().toString(Qt::ISODateWithMs));
        break;
    case QMetaType::QByteArray:
        writer.writeTextElement(u"data"_s, QString::fromLatin1(value.toByteArray().toBase64()));
        break;
    case QMetaType::QVariantList:
        writer.writeStartElement(u"array"_s);
        for (const QVariant &element : value.toList())
            writeValue(writer, element);
        writer.writeEndElement();
        break;
    case QMetaType::QVariantMap:
        writeDictionary(writer, value.toMap());
        break;
    default:
        // Callers check canHold first; an empty string keeps the document well-formed.
        writer.writeEmptyElement(u"string"_s);
        break;
    }
}

// Reads one value element; the reader stands on its start tag and ends on its end tag.
class ValueReader {
public:
    explicit ValueReader(const QByteArray &document) : m_xml(document) {}

    PropertyList::ParseResult parseDocument()
    {
        PropertyList::ParseResult result;
        if (!m_xml.readNextStartElement() || m_xml.name() != "plist"_L1)
            return fail(u"the document is not a property list"_s);
        if (!m_xml.readNextStartElement())
            return fail(u"the property list is empty"_s);
        const QVariant root = readValue(0);
        if (!m_error.isEmpty())
            return fail(m_error);
        if (root.typeId() != QMetaType::QVariantMap)
            return fail(u"the top-level value is not a dictionary"_s);
        if (m_xml.readNextStartElement())
            return fail(u"unexpected element <%1> after the top-level dictionary"_s.arg(m_xml.name()));
        while (!m_xml.atEnd())
            m_xml.readNext();
        if (m_xml.hasError())
            return fail(xmlError());
        result.root = root.toMap();
        return result;
    }

private:
    PropertyList::ParseResult fail(const QString &message) const
    {
        PropertyList::ParseResult result;
        result.error = m_xml.hasError() ? xmlError() : message;
        return result;
    }

    QString xmlError() const
    {
        return u"%1 (line %2, column %3)"_s.arg(m_xml.errorString())
            .arg(m_xml.lineNumber())
            .arg(m_xml.columnNumber());
    }

    QVariant setError(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = m_xml.hasError() ? xmlError() : u"%1 (line %2)"_s.arg(message).arg(m_xml.lineNumber());
        return {};
    }

    QString readText()
    {
        const bool base64 = m_xml.attributes().value("encoding"_L1) == "base64"_L1;
        const QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (!base64)
            return text;
        auto decoded =
            QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            setError(u"invalid base64 text"_s);
            return {};
        }
        return QString::fromUtf8(*decoded);
    }

    QVariant readValue(int depth)
    {
        if (depth > maximumDepth)
            return setError(u"values nested too deeply"_s);
        const QStringView name = m_xml.name();
        if (name == "string"_L1)
            return readText();
        if (name == "integer"_L1)
            return readInteger();
        if (name == "real"_L1)
            return readReal();
        if (name == "true"_L1 || name == "false"_L1)
            return readBoolean(name == "true"_L1);
        if (name == "date"_L1)
            return readDate();
        if (name == "data"_L1)
            return readData();
        if (name == "array"_L1)
            return readArray(depth);
        if (name == "dict"_L1)
            return readDictionary(depth);
        return setError(u"unknown element <%1>"_s.arg(name));
    }

    QVariant readInteger()
    {
        bool ok = false;
        const qint64 number = m_xml.readElementText().trimmed().toLongLong(&ok);
        return ok ? QVariant(number) : setError(u"invalid integer"_s);
    }

    QVariant readReal()
    {
        bool ok = false;
        const double number = m_xml.readElementText().trimmed().toDouble(&ok);
        return ok ? QVariant(number) : setError(u"invalid real number"_s);
    }

    QVariant readBoolean(bool value)
    {
        if (!m_xml.readElementText().trimmed().isEmpty())
            return setError(u"text inside a boolean"_s);
        return value;
    }

    QVariant readDate()
    {
        const QDateTime date = QDateTime::fromString(m_xml.readElementText().trimmed(), Qt::ISODateWithMs);
        return date.isValid() ? QVariant(date.toUTC()) : setError(u"invalid date"_s);
    }

    QVariant readData()
    {
        QByteArray text = m_xml.readElementText().toLatin1();
        text.replace(' ', QByteArray()).replace('\n', QByteArray()).replace('\t', QByteArray());
        auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? QVariant(*decoded) : setError(u"invalid base64 data"_s);
    }

    QVariant readArray(int depth)
    {
        QVariantList array;
        while (m_error.isEmpty() && m_xml.readNextStartElement())
            array.append(readValue(depth + 1));
        if (m_xml.hasError())
            return setError(QString());
        return m_error.isEmpty() ? QVariant(array) : QVariant();
    }

    QVariant readDictionary(int depth)
    {
        QVariantMap dictionary;
        while (m_error.isEmpty() && m_xml.readNextStartElement()) {
            if (m_xml.name() != "key"_L1)
                return setError(u"expected <key> in a dictionary, found <%1>"_s.arg(m_xml.name()));
            const QString key = readText();
            if (!m_xml.readNextStartElement())
                return setError(u"key \"%1\" has no value"_s.arg(key));
            const QVariant value = readValue(depth + 1);
            dictionary.insert(key, value);
        }
        if (m_xml.hasError())
            return setError(QString());
        return m_error.isEmpty() ? QVariant(dictionary) : QVariant();
    }

    QXmlStreamReader m_xml;
    QString m_error;
};

} // namespace

bool PropertyList::canHold(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::QDateTime:
    case QMetaType::QByteArray:
        return true;
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), canHold);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        return std::all_of(map.cbegin(), map.cend(), canHold);
    }
    default:
        return false;
    }
}

QByteArray PropertyList::serialize(const QVariantMap &root)
{
    QByteArray document;
    QXmlStreamWriter writer(&document);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument();
    writer.writeStartElement(u"plist"_s);
    writer.writeAttribute(u"version"_s, u"1.0"_s);
    writeDictionary(writer, root);
    writer.writeEndElement();
    writer.writeEndDocument();
    return document;
}

PropertyList::ParseResult PropertyList::parse(const QByteArray &document)
{
    return ValueReader(document).parseDocument();
}
