#include "decimalnumber.h"

#include <algorithm>

namespace {

// The power of ten of a value is clamped to ±kExponentLimit. The exponent written in the text may go
// further (by the number of digits), and is read up to kTextExponentLimit, so that the text written
// for any value reads back as the same value; both stay far from the edges of qint64.
constexpr qint64 kExponentLimit = 1'000'000'000'000'000LL;
constexpr qint64 kTextExponentLimit = 4 * kExponentLimit;

// Plain notation is used while it needs at most this many padding zeros.
constexpr qint64 kMaxPlainZeros = 30;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

DecimalNumber DecimalNumber::fromString(QByteArrayView text)
{
    DecimalNumber number;
    const char *p = text.data();
    const char *const end = p + text.size();

    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';

    // Room for every digit of the text, taken in one allocation and trimmed at the end.
    QByteArray digits(text.size(), Qt::Uninitialized);
    char *const first = digits.data();
    char *out = first;
    qint64 pointShift = 0; // digits taken after the point
    bool sawDigit = false;
    for (; p < end && isDigit(*p); ++p) {
        sawDigit = true;
        if (out != first || *p != '0')
            *out++ = *p;
    }
    if (p < end && *p == '.') {
        ++p;
        for (; p < end && isDigit(*p); ++p) {
            sawDigit = true;
            if (out != first || *p != '0')
                *out++ = *p;
            ++pointShift;
        }
    }
    digits.truncate(out - first);
    if (!sawDigit)
        return number;

    qint64 exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char *q = p + 1;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-'))
            negativeExponent = *q++ == '-';
        if (q < end && isDigit(*q)) {
            for (; q < end && isDigit(*q); ++q)
                exponent = std::min(exponent * 10 + (*q - '0'), kTextExponentLimit);
            if (negativeExponent)
                exponent = -exponent;
        }
    }

    qsizetype trailingZeros = 0;
    while (trailingZeros < digits.size() && digits.at(digits.size() - 1 - trailingZeros) == '0')
        ++trailingZeros;
    digits.chop(trailingZeros);
    if (digits.isEmpty())
        return number;

    number.m_negative = negative;
    number.m_digits = std::move(digits);
    number.m_exponent = std::clamp(exponent - pointShift + trailingZeros, -kExponentLimit, kExponentLimit);
    return number;
}

QByteArray DecimalNumber::toJSON() const
{
    if (isZero())
        return QByteArrayLiteral("0.0");

    QByteArray text;
    if (m_negative)
        text.append('-');
    const qint64 count = m_digits.size();
    const qint64 pointPosition = count + m_exponent; // digits before the point

    if (pointPosition > count + kMaxPlainZeros || pointPosition < -kMaxPlainZeros) {
        text.append(m_digits.at(0));
        text.append('.');
        if (count > 1)
            text.append(m_digits.constData() + 1, count - 1);
        else
            text.append('0');
        text.append('e');
        text.append(pointPosition - 1 >= 0 ? '+' : '-');
        text.append(QByteArray::number(std::abs(pointPosition - 1)));
    } else if (pointPosition <= 0) {
        text.append("0.");
        text.append(QByteArray(-pointPosition, '0'));
        text.append(m_digits);
    } else if (pointPosition >= count) {
        text.append(m_digits);
        text.append(QByteArray(pointPosition - count, '0'));
        text.append(".0");
    } else {
        text.append(m_digits.constData(), pointPosition);
        text.append('.');
        text.append(m_digits.constData() + pointPosition, count - pointPosition);
    }
    return text;
}

double DecimalNumber::toDouble() const
{
    if (isZero())
        return 0.0;
    QByteArray text;
    if (m_negative)
        text.append('-');
    text.append(m_digits);
    text.append('e');
    text.append(QByteArray::number(m_exponent));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok)
        return value;
    // Out of double's range: QByteArray::toDouble refuses, so saturate by hand.
    const bool large = m_exponent > 0;
    const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
    return m_negative ? -magnitude : magnitude;
}
