#include "cjsonscanner.h"

#include "utf8.h"

#include <QScopeGuard>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <string_view>

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

using Member = std::pair<QString, QVariant>;
using MemberIterator = std::vector<Member>::iterator;

std::u16string_view codeUnits(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.constData()), size_t(text.size())};
}

// The order of QString's operator< (UTF-16 code units, then length), but inline.
bool keyLess(const Member &a, const Member &b)
{
    return codeUnits(a.first) < codeUnits(b.first);
}

// Stable, so that repeated keys stay in document order. Objects have few members: an insertion
// sort needs no buffer, where std::stable_sort allocates one.
void sortMembers(MemberIterator first, MemberIterator last)
{
    constexpr qsizetype kInsertionSortLimit = 24;
    if (last - first > kInsertionSortLimit) {
        std::stable_sort(first, last, keyLess);
        return;
    }
    for (auto it = first + 1; it < last; ++it) {
        if (!keyLess(*it, *(it - 1)))
            continue;
        Member moving = std::move(*it);
        auto hole = it;
        do {
            *hole = std::move(*(hole - 1));
            --hole;
        } while (hole != first && keyLess(moving, *(hole - 1)));
        *hole = std::move(moving);
    }
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
    m_nestingError.reset();
    m_dictionaries.clear();
    m_arrays.clear();
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

void CJSONScanner::setNullObject(const QVariant &nullObject)
{
    m_nullObject = nullObject;
    // Remembered containers hold the old null object, or lack the nulls it stood for.
    m_dictionaries.clear();
    m_arrays.clear();
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
    case '{':
        return scanInto<QVariantMap>(&CJSONScanner::scanJSONDictionary, outObject, outError);
    case '[':
        return scanInto<QVariantList>(&CJSONScanner::scanJSONArray, outObject, outError);
    case '"':
    case '\'':
        return scanInto<QString>(&CJSONScanner::scanJSONStringConstant, outObject, outError);
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

// Scans straight into the variant's own storage: QVariant cannot take a container by move.
template <typename Value>
bool CJSONScanner::scanInto(bool (CJSONScanner::*scan)(Value *, JSONError *), QVariant *outObject,
                            JSONError *outError)
{
    if (!outObject)
        return (this->*scan)(nullptr, outError);
    QVariant value{QMetaType::fromType<Value>()};
    if (!(this->*scan)(static_cast<Value *>(value.data()), outError))
        return false;
    *outObject = std::move(value);
    return true;
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
    if (m_depth == 1)
        m_nestingError.reset();
    if (m_depth <= kMaxNestingDepth)
        return true;
    m_current = bracket;
    JSONError error;
    fail(&error, kNestingTooDeepCode,
         u"Could not scan object. Nesting deeper than %1 levels."_s.arg(kMaxNestingDepth));
    m_nestingError = error;
    reportJSONError(outError, std::move(error));
    return false;
}

// Scans a member or element. A failure is reported as the container's own error, except the
// nesting limit, which passes through so that the reader learns the real cause. The inner scan
// makes no error of its own: only the outermost container's error is ever seen, and building one
// at every level would cost a pass over the data per level.
bool CJSONScanner::scanContainerValue(const char *resetTo, QVariant *outValue, JSONError *outError, int code,
                                      const QString &message)
{
    if (scanJSONObject(outValue, nullptr))
        return true;
    if (m_nestingError) {
        m_current = resetTo;
        if (outError)
            *outError = *m_nestingError;
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

    const size_t base = m_members.size();
    const auto dropMembers = qScopeGuard([this, base] { m_members.resize(base); });
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
        if (!scanContainerValue(start, &value, outError, -4,
                                u"Could not scan dictionary. Failed to scan a value."_s))
            return false;
        if (value.isValid())
            m_members.emplace_back(std::move(key), std::move(value));
        skipWhitespace();
        if (!scanCharacter(',')) {
            if (currentCharacter() == '}')
                break;
            return failAt(
                start, outError, -5,
                u"Could not scan dictionary. Key value pairs not delimited with a ',' character."_s);
        }
        skipWhitespace();
    }
    if (!scanCharacter('}'))
        return failAt(start, outError, -6,
                      u"Could not scan dictionary. Dictionary not terminated by a '}' character."_s);
    if (outDictionary)
        *outDictionary = takeDictionary(bracket, base);
    return true;
}

QVariantMap CJSONScanner::takeDictionary(const char *bracket, size_t base)
{
    const QByteArrayView text(bracket, m_current - bracket);
    if (m_members.size() == base || !m_dictionaries.fits(text))
        return buildDictionary(base);
    if (const QVariantMap *shared = m_dictionaries.find(text))
        return *shared;
    QVariantMap dictionary = buildDictionary(base);
    m_dictionaries.insert(text, dictionary);
    return dictionary;
}

QVariantMap CJSONScanner::buildDictionary(size_t base)
{
    const auto first = m_members.begin() + qsizetype(base);
    const auto last = m_members.end();
    if (first == last)
        return {};
    // Sorted first, every node goes to the right end of the tree after a single comparison,
    // where members in document order would each search the tree.
    sortMembers(first, last);
    std::map<QString, QVariant> members;
    for (auto it = first; it != last; ++it) {
        // A repeated key keeps its last value: the stable sort left that one last.
        const auto next = it + 1;
        if (next != last && codeUnits(next->first) == codeUnits(it->first))
            continue;
        members.emplace_hint(members.end(), std::move(it->first), std::move(it->second));
    }
    return QVariantMap(std::move(members));
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

    // Elements collect on the shared stack above this array's base; every way out drops them.
    const size_t base = m_elements.size();
    const auto dropElements = qScopeGuard([this, base] { m_elements.resize(base); });
    skipWhitespace();
    while (currentCharacter() != ']') {
        QVariant value;
        if (!scanContainerValue(start, &value, outError, -8,
                                u"Could not scan array. Could not scan a value."_s))
            return false;
        if (value.isValid())
            m_elements.push_back(std::move(value));
        else if (m_nullObject.isValid())
            return failAt(start, outError, -9, u"Could not scan array. Value is NULL."_s);
        skipWhitespace();
        const bool delimited = scanCharacter(',');
        skipWhitespace();
        if (!delimited) {
            if (currentCharacter() == ']')
                break;
            return failAt(start, outError, -9,
                          u"Could not scan array. Array not terminated by a ']' character."_s);
        }
    }
    if (!scanCharacter(']'))
        return failAt(start, outError, -10,
                      u"Could not scan array. Array not terminated by a ']' character."_s);
    if (outArray)
        *outArray = takeArray(bracket, base);
    return true;
}

QVariantList CJSONScanner::takeArray(const char *bracket, size_t base)
{
    const auto build = [this, base] {
        const auto first = m_elements.begin() + qsizetype(base);
        return QVariantList(std::make_move_iterator(first), std::make_move_iterator(m_elements.end()));
    };
    const QByteArrayView text(bracket, m_current - bracket);
    if (m_elements.size() == base || !m_arrays.fits(text))
        return build();
    if (const QVariantList *shared = m_arrays.find(text))
        return *shared;
    QVariantList array = build();
    m_arrays.insert(text, array);
    return array;
}

qsizetype CJSONScanner::notQuoteRunLength() const
{
    // Eight bytes at a time. In the mask of bytes equal to a given one, (x - 1) & ~x marks the
    // first match exactly; a borrow may add false marks after it, never before.
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highs = 0x8080808080808080ULL;
    const auto matches = [](quint64 chunk, char byte) {
        const quint64 x = chunk ^ (ones * quint8(byte));
        return (x - ones) & ~x & highs;
    };
    const char *p = m_current;
    for (; m_end - p >= 8; p += 8) {
        const auto chunk = qFromLittleEndian<quint64>(p); // the first byte lowest
        if (const quint64 found = matches(chunk, '"') | matches(chunk, '\\'))
            return p + std::countr_zero(found) / 8 - m_current;
    }
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
        *outValue = stringFromUtf8(m_current, length);
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

    // Most strings have no escapes: they are one run. The short ones, which most keys and many
    // repeated values are, come from the cache.
    const qsizetype firstRun = notQuoteRunLength();
    const bool oneRun = m_current + firstRun < m_end && m_current[firstRun] == '"';
    if (oneRun && (m_dataIsValidUtf8 || isValidUtf8(m_current, m_current + firstRun))) {
        if (outString) {
            *outString = firstRun <= StringCache::kMaxLength ? m_strings.string(m_current, firstRun)
                                                             : stringFromUtf8(m_current, firstRun);
        }
        m_current += firstRun + 1;
        return true;
    }

    m_text.clear();
    for (;;) {
        const qsizetype run = notQuoteRunLength();
        if (run > 0) {
            if (!m_dataIsValidUtf8 && !isValidUtf8(m_current, m_current + run))
                return failAt(start, outError, kInvalidUtf8Code,
                              u"Could not scan string constant. String is not valid UTF-8."_s);
            appendText(m_current, run);
            m_current += run;
        }
        if (scanCharacter('"'))
            break;
        if (m_current >= m_end || m_current + 1 >= m_end) {
            m_current = m_end;
            return fail(outError, -14,
                        u"Could not scan string constant. No terminating double quote character."_s);
        }
        ++m_current; // the backslash
        if (!appendEscape(start, outError))
            return false;
    }
    if (outString)
        *outString = QString(reinterpret_cast<const QChar *>(m_text.data()), qsizetype(m_text.size()));
    return true;
}

void CJSONScanner::appendText(const char *bytes, qsizetype length)
{
    const size_t used = m_text.size();
    m_text.resize(used + size_t(length)); // UTF-16 never needs more units than UTF-8 has bytes
    const char16_t *const end = decodeValidUtf8(bytes, bytes + length, m_text.data() + used);
    m_text.resize(size_t(end - m_text.data()));
}

bool CJSONScanner::appendEscape(const char *resetTo, JSONError *outError)
{
    const char code = scanCharacter();
    switch (code) {
    case '"':
    case '\\':
    case '/':
        m_text.push_back(char16_t(code));
        return true;
    case 'b':
        m_text.push_back(char16_t(8));
        return true;
    case 'f':
        m_text.push_back(char16_t(12));
        return true;
    case 'n':
        m_text.push_back(char16_t(10));
        return true;
    case 'r':
        m_text.push_back(char16_t(13));
        return true;
    case 't':
        m_text.push_back(char16_t(9));
        return true;
    case 'u': {
        char16_t unit = 0;
        if (!scanHexUnit(&unit))
            return failAt(resetTo, outError, -12,
                          u"Could not scan string constant. Unicode character could not be decoded."_s);
        m_text.push_back(unit);
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
