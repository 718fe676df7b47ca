#include "cjsonscanner.h"

#include "utf8.h"

#include <QStringDecoder>
#include <cstring>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QStringConverter::Encoding detectEncoding(const QByteArray &data)
{
    const bool z0 = data.at(0) == 0, z1 = data.at(1) == 0, z2 = data.at(2) == 0, z3 = data.at(3) == 0;
    if (z0 && !z1 && z2 && !z3)
        return QStringConverter::Utf16BE;
    if (z0 && z1 && z2 && !z3)
        return QStringConverter::Utf32BE;
    if (!z0 && z1 && !z2 && z3)
        return QStringConverter::Utf16LE;
    if (!z0 && z1 && z2 && z3)
        return QStringConverter::Utf32LE;
    return QStringConverter::Utf8;
}

// Qt's decoders pass unpaired surrogates through; they are not text all the same.
bool hasUnpairedSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (!c.isHighSurrogate() || i + 1 == text.size() || !text.at(i + 1).isLowSurrogate())
            return true;
        ++i;
    }
    return false;
}

// The data as UTF-8, or nothing when it is not text in the encoding.
std::optional<QByteArray> toUtf8(const QByteArray &data, QStringConverter::Encoding encoding)
{
    if (encoding == QStringConverter::Utf8) {
        // A byte-order mark is not part of the text.
        const qsizetype skip = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (!isValidUtf8(data.constData() + skip, data.constData() + data.size()))
            return std::nullopt;
        return skip ? data.mid(skip) : data;
    }
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError() || hasUnpairedSurrogate(text))
        return std::nullopt;
    return text.toUtf8();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Keeps the depth count right on every way out of a container scan.
class DepthGuard {
public:
    explicit DepthGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;

private:
    int &m_depth;
};

} // namespace

bool CJSONScanner::setData(const QByteArray &data, JSONError *outError)
{
    m_dataIsValidUtf8 = false;
    if (data.size() < 4) {
        CDataScanner::setData(data);
        return true;
    }
    std::optional<QByteArray> text = toUtf8(data, detectEncoding(data));
    if (!text && m_allowedEncoding)
        text = toUtf8(data, *m_allowedEncoding);
    if (!text) {
        CDataScanner::setData(QByteArray());
        return fail(outError, -1, u"Could not scan data. Data wasn't encoded properly?"_s);
    }
    CDataScanner::setData(*text);
    m_dataIsValidUtf8 = true;
    return true;
}

bool CJSONScanner::fail(JSONError *outError, int code, const QString &message) const
{
    if (outError)
        *outError = JSONError{CJSONScannerErrorDomain, code, message, userInfoForScanLocation()};
    return false;
}

bool CJSONScanner::failAt(const char *resetTo, JSONError *outError, int code, const QString &message)
{
    m_current = resetTo;
    return fail(outError, code, message);
}

bool CJSONScanner::scanJSONObject(QVariant *outObject, JSONError *outError)
{
    skipWhitespace();
    switch (currentCharacter()) {
    case '{': {
        QVariantMap dictionary;
        if (!scanJSONDictionary(&dictionary, outError))
            return false;
        if (outObject)
            *outObject = QVariant(std::move(dictionary));
        return true;
    }
    case '[': {
        QVariantList array;
        if (!scanJSONArray(&array, outError))
            return false;
        if (outObject)
            *outObject = QVariant(std::move(array));
        return true;
    }
    case '"':
    case '\'': {
        QString string;
        if (!scanJSONStringConstant(&string, outError))
            return false;
        if (outObject)
            *outObject = QVariant(std::move(string));
        return true;
    }
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        return scanJSONNumberConstant(outObject, outError);
    case 't':
        return scanLiteral("true", QVariant(true), outObject);
    case 'f':
        return scanLiteral("false", QVariant(false), outObject);
    case 'n':
        return scanLiteral("null", m_nullObject, outObject);
    default:
        return fail(outError, -1, u"Could not scan object. Character not a valid JSON character."_s);
    }
}

// An incomplete literal still succeeds, but yields no value and consumes nothing.
bool CJSONScanner::scanLiteral(QByteArrayView literal, const QVariant &value, QVariant *outObject)
{
    const bool matched = scanUTF8String(literal);
    if (outObject)
        *outObject = matched ? value : QVariant();
    return true;
}

bool CJSONScanner::enterContainer(const char *bracket, JSONError *outError)
{
    if (m_depth <= kMaxNestingDepth)
        return true;
    return failAt(bracket, outError, kNestingTooDeepCode,
                  u"Could not scan object. Nesting deeper than %1 levels."_s.arg(kMaxNestingDepth));
}

// Scans a member or element. A failure is reported as the container's own error, except the
// nesting limit, which passes through so that the reader learns the real cause.
bool CJSONScanner::scanContainerValue(const char *resetTo, QVariant *outValue, JSONError *outError, int code,
                                      const QString &message)
{
    JSONError inner;
    if (scanJSONObject(outValue, &inner))
        return true;
    if (inner.code == kNestingTooDeepCode) {
        m_current = resetTo;
        reportJSONError(outError, std::move(inner));
        return false;
    }
    return failAt(resetTo, outError, code, message);
}

bool CJSONScanner::scanJSONDictionary(QVariantMap *outDictionary, JSONError *outError)
{
    const char *const start = m_current;
    skipWhitespace();
    const char *const bracket = m_current;
    if (!scanCharacter('{'))
        return fail(outError, -1,
                    u"Could not scan dictionary. Dictionary that does not start with '{' character."_s);
    DepthGuard depth(m_depth);
    if (!enterContainer(bracket, outError)) {
        m_current = start;
        return false;
    }

    std::map<QString, QVariant> members;
    while (currentCharacter() != '}') {
        skipWhitespace();
        if (currentCharacter() == '}')
            break;
        QString key;
        if (!scanJSONStringConstant(&key))
            return failAt(start, outError, -2, u"Could not scan dictionary. Failed to scan a key."_s);
        skipWhitespace();
        if (!scanCharacter(':'))
            return failAt(start, outError, -3,
                          u"Could not scan dictionary. Key was not terminated with a ':' character."_s);
        QVariant value;
        if (!scanContainerValue(start, &value, outError, -4, u"Could not scan dictionary. Failed to scan a value."_s))
            return false;
        if (value.isValid())
            members.insert_or_assign(std::move(key), std::move(value));
        skipWhitespace();
        if (!scanCharacter(',')) {
            if (currentCharacter() == '}')
                break;
            return failAt(start, outError, -5,
                          u"Could not scan dictionary. Key value pairs not delimited with a ',' character."_s);
        }
        skipWhitespace();
    }
    if (!scanCharacter('}'))
        return failAt(start, outError, -6,
                      u"Could not scan dictionary. Dictionary not terminated by a '}' character."_s);
    if (outDictionary)
        *outDictionary = QVariantMap(std::move(members));
    return true;
}

bool CJSONScanner::scanJSONArray(QVariantList *outArray, JSONError *outError)
{
    const char *const start = m_current;
    skipWhitespace();
    const char *const bracket = m_current;
    if (!scanCharacter('['))
        return fail(outError, -7, u"Could not scan array. Array not started by a '[' character."_s);
    DepthGuard depth(m_depth);
    if (!enterContainer(bracket, outError)) {
        m_current = start;
        return false;
    }

    QVariantList elements;
    skipWhitespace();
    while (currentCharacter() != ']') {
        QVariant value;
        if (!scanContainerValue(start, &value, outError, -8, u"Could not scan array. Could not scan a value."_s))
            return false;
        if (value.isValid())
            elements.append(std::move(value));
        else if (m_nullObject.isValid())
            return failAt(start, outError, -9, u"Could not scan array. Value is NULL."_s);
        skipWhitespace();
        const bool delimited = scanCharacter(',');
        skipWhitespace();
        if (!delimited) {
            if (currentCharacter() == ']')
                break;
            return failAt(start, outError, -9, u"Could not scan array. Array not terminated by a ']' character."_s);
        }
    }
    if (!scanCharacter(']'))
        return failAt(start, outError, -10, u"Could not scan array. Array not terminated by a ']' character."_s);
    if (outArray)
        *outArray = std::move(elements);
    return true;
}

qsizetype CJSONScanner::notQuoteRunLength() const
{
    const char *p = m_current;
    while (p < m_end && *p != '"' && *p != '\\')
        ++p;
    return p - m_current;
}

bool CJSONScanner::scanNotQuoteCharactersIntoString(QString *outValue)
{
    const qsizetype length = notQuoteRunLength();
    if (length == 0)
        return false;
    if (outValue)
        *outValue = QString::fromUtf8(m_current, length);
    m_current += length;
    return true;
}

bool CJSONScanner::scanJSONStringConstant(QString *outString, JSONError *outError)
{
    const char *const start = m_current;
    skipWhitespace();
    if (!scanCharacter('"'))
        return failAt(start, outError, -11,
                      u"Could not scan string constant. String not started by a '\"' character."_s);

    QString text;
    for (;;) {
        const qsizetype run = notQuoteRunLength();
        if (run > 0) {
            if (!m_dataIsValidUtf8 && !isValidUtf8(m_current, m_current + run))
                return failAt(start, outError, kInvalidUtf8Code,
                              u"Could not scan string constant. String is not valid UTF-8."_s);
            // Most strings are one run: take it without building up a second buffer.
            if (text.isEmpty())
                text = QString::fromUtf8(m_current, run);
            else
                text += QString::fromUtf8(m_current, run);
            m_current += run;
        }
        if (scanCharacter('"'))
            break;
        if (m_current >= m_end || m_current + 1 >= m_end) {
            m_current = m_end;
            return fail(outError, -14, u"Could not scan string constant. No terminating double quote character."_s);
        }
        ++m_current; // the backslash
        if (!appendEscape(&text, start, outError))
            return false;
    }
    if (outString)
        *outString = std::move(text);
    return true;
}

bool CJSONScanner::appendEscape(QString *text, const char *resetTo, JSONError *outError)
{
    const char code = scanCharacter();
    switch (code) {
    case '"':
    case '\\':
    case '/':
        text->append(QLatin1Char(code));
        return true;
    case 'b':
        text->append(QChar(8));
        return true;
    case 'f':
        text->append(QChar(12));
        return true;
    case 'n':
        text->append(QChar(10));
        return true;
    case 'r':
        text->append(QChar(13));
        return true;
    case 't':
        text->append(QChar(9));
        return true;
    case 'u': {
        char16_t unit = 0;
        if (!scanHexUnit(&unit))
            return failAt(resetTo, outError, -12,
                          u"Could not scan string constant. Unicode character could not be decoded."_s);
        text->append(QChar(unit));
        return true;
    }
    default:
        if (m_strictEscapeCodes)
            return failAt(resetTo, outError, -13, u"Could not scan string constant. Unknown escape code."_s);
        // The escaped byte stands for itself; leave it to the next run so that a multi-byte
        // character after the backslash stays whole.
        --m_current;
        return true;
    }
}

bool CJSONScanner::scanHexUnit(char16_t *outUnit)
{
    char16_t unit = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(currentCharacter());
        if (digit < 0)
            return false;
        ++m_current;
        unit = char16_t(unit << 4 | digit);
    }
    *outUnit = unit;
    return true;
}

bool CJSONScanner::scanJSONNumberConstant(QVariant *outNumber, JSONError *outError)
{
    skipWhitespace();
    if (!scanNumber(outNumber))
        return fail(outError, -14, u"Could not scan number constant."_s);
    return true;
}
