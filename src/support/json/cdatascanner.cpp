#include "cdatascanner.h"

#include "decimalnumber.h"
#include "utf8.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr ByteSet kNumberBytes = ByteSet(QByteArrayView("0123456789eE-+."));
constexpr qsizetype kSnippetReach = 20;

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The leading base-10 integer of the text, saturating at the limits of qint64.
qint64 leadingSignedValue(QByteArrayView text)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    // Accumulate the magnitude downwards: the negative range is one larger.
    qint64 value = 0;
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        if (value < (min + digit) / 10)
            return negative ? min : std::numeric_limits<qint64>::max();
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == min ? std::numeric_limits<qint64>::max() : -value;
}

// The leading unsigned integer of the text with automatic base (leading 0: octal),
// saturating at the maximum of quint64.
quint64 leadingUnsignedValue(QByteArrayView text)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    if (p < end && *p == '+')
        ++p;
    const unsigned base = (p < end && *p == '0') ? 8 : 10;
    const char maxDigit = base == 8 ? '7' : '9';
    quint64 value = 0;
    constexpr quint64 max = std::numeric_limits<quint64>::max();
    for (; p < end && *p >= '0' && *p <= maxDigit; ++p) {
        const unsigned digit = unsigned(*p - '0');
        if (value > (max - digit) / base)
            return max;
        value = value * base + digit;
    }
    return value;
}

} // namespace

void CDataScanner::setData(const QByteArray &data)
{
    m_data = data;
    if (m_data.isNull()) {
        m_start = m_current = m_end = nullptr;
        return;
    }
    m_start = m_data.constData();
    m_current = m_start;
    m_end = m_start + m_data.size();
}

void CDataScanner::setScanLocation(qsizetype location)
{
    m_current = m_start + std::clamp<qsizetype>(location, 0, length());
}

bool CDataScanner::scanUTF8String(QByteArrayView literal, QString *outValue)
{
    if (literal.isEmpty() || bytesRemaining() < literal.size() ||
        std::memcmp(m_current, literal.data(), size_t(literal.size())) != 0)
        return false;
    m_current += literal.size();
    if (outValue)
        *outValue = stringFromUtf8(literal);
    return true;
}

bool CDataScanner::scanString(const QString &literal, QString *outValue)
{
    return scanUTF8String(literal.toUtf8(), outValue);
}

bool CDataScanner::scanUpToString(const QString &literal, QString *outValue)
{
    const QByteArray needle = literal.toUtf8();
    const QByteArrayView rest(m_current, bytesRemaining());
    qsizetype found = needle.isEmpty() ? -1 : rest.indexOf(needle);
    if (found < 0)
        found = rest.size();
    if (found == 0)
        return false;
    if (outValue)
        *outValue = stringFromUtf8(m_current, found);
    m_current += found;
    return true;
}

bool CDataScanner::scanCharactersFromSet(const ByteSet &set, QString *outValue)
{
    const char *const begin = m_current;
    if (skipRun(set) == 0)
        return false;
    if (outValue)
        *outValue = stringFromUtf8(begin, m_current - begin);
    return true;
}

bool CDataScanner::scanUpToCharactersFromSet(const ByteSet &set, QString *outValue)
{
    const char *const begin = m_current;
    while (m_current < m_end && !set.contains(*m_current))
        ++m_current;
    if (m_current == begin)
        return false;
    if (outValue)
        *outValue = stringFromUtf8(begin, m_current - begin);
    return true;
}

bool CDataScanner::scanPlainInteger(QVariant *outValue)
{
    constexpr qsizetype kSafeDigits = 18; // never overflows 64 bits
    const char *p = m_current;
    const bool negative = p < m_end && *p == '-';
    if (negative)
        ++p;
    if (p == m_end || *p < '1' || *p > '9')
        return false;
    const char *const digits = p;
    quint64 value = 0;
    for (; p < m_end && p - digits < kSafeDigits && *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + quint64(*p - '0');
    if (p < m_end && kNumberBytes.contains(*p))
        return false;
    m_current = p;
    if (outValue)
        *outValue = negative ? QVariant(-qlonglong(value)) : QVariant(qulonglong(value));
    return true;
}

bool CDataScanner::scanNumber(QVariant *outValue)
{
    if (scanPlainInteger(outValue))
        return true;
    const char *const begin = m_current;
    bool point = false;
    bool minus = false;
    for (; m_current < m_end && kNumberBytes.contains(*m_current); ++m_current) {
        point = point || *m_current == '.';
        minus = minus || *m_current == '-';
    }
    if (m_current == begin)
        return false;
    const QByteArrayView text(begin, m_current - begin);
    if (!outValue)
        return true;
    // The plain integer constructors: the generic fromValue path costs more than the parse.
    if (point)
        *outValue = QVariant::fromValue(DecimalNumber::fromString(text));
    else if (minus)
        *outValue = QVariant(qlonglong(leadingSignedValue(text)));
    else
        *outValue = QVariant(qulonglong(leadingUnsignedValue(text)));
    return true;
}

bool CDataScanner::scanDecimalNumber(DecimalNumber *outValue)
{
    const char *const begin = m_current;
    const qsizetype length = skipRun(kNumberBytes);
    if (length == 0)
        return false;
    if (outValue)
        *outValue = DecimalNumber::fromString(QByteArrayView(begin, length));
    return true;
}

bool CDataScanner::scanDataOfLength(qsizetype length, QByteArray *outData)
{
    if (length < 0 || bytesRemaining() < length)
        return false;
    if (outData)
        *outData = QByteArray(m_current, length);
    m_current += length;
    return true;
}

bool CDataScanner::scanCStyleComment(QString *outComment)
{
    const QByteArrayView rest(m_current, bytesRemaining());
    if (!rest.startsWith("/*"))
        return false;
    const qsizetype close = rest.indexOf("*/", 2);
    if (close < 0)
        return false;
    if (outComment)
        *outComment = stringFromUtf8(rest.sliced(2, close - 2));
    m_current += close + 2;
    return true;
}

bool CDataScanner::scanCPlusPlusStyleComment(QString *outComment)
{
    const QByteArrayView rest(m_current, bytesRemaining());
    if (!rest.startsWith("//"))
        return false;
    qsizetype stop = 2;
    while (stop < rest.size() && !isLineBreak(rest.at(stop)))
        ++stop;
    if (outComment)
        *outComment = stringFromUtf8(rest.sliced(2, stop - 2));
    m_current += stop;
    return true;
}

QString CDataScanner::remainingString() const
{
    return stringFromUtf8(m_current, bytesRemaining());
}

QByteArray CDataScanner::remainingData() const
{
    return QByteArray(m_current, bytesRemaining());
}

qint64 CDataScanner::lineOfScanLocation() const
{
    return std::count_if(m_start, m_current, isLineBreak);
}

QVariantMap CDataScanner::userInfoForScanLocation() const
{
    const qsizetype location = scanLocation();
    qint64 line = 0;
    qsizetype lastBreak = -1;
    for (qsizetype i = 0; i < location; ++i) {
        if (isLineBreak(m_start[i])) {
            ++line;
            lastBreak = i;
        }
    }
    // Measured from the byte before the last line break, as error reports have always shown it.
    const qint64 character = lastBreak < 0 ? location : location - (lastBreak - 1);

    const qsizetype before = std::min(location, kSnippetReach);
    const qsizetype after = std::min(bytesRemaining(), kSnippetReach);
    const QString snippet =
        stringFromUtf8(m_current - before, before) + u"!HERE>!"_s + stringFromUtf8(m_current, after);

    return QVariantMap{
        {u"line"_s, line},
        {u"character"_s, character},
        {u"location"_s, qint64(location)},
        {u"snippet"_s, snippet},
    };
}
