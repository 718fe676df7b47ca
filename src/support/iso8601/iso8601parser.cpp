#include "support/iso8601/iso8601parser.h"

#include "support/iso8601/gregorian.h"

#include <cfloat>
#include <cmath>

namespace {

// Classification as the C library does it in the "C" locale, independent of the process locale.
bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool isSpace(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Fractional minutes and seconds beyond this cannot name a representable instant; such texts are invalid.
constexpr double LargestTimeField = 9.0e15;

class Cursor {
public:
    explicit Cursor(QByteArrayView text) : m_text(text) {}

    qsizetype position() const { return m_pos; }
    int peek(qsizetype ahead = 0) const
    {
        const qsizetype i = m_pos + ahead;
        return i < m_text.size() ? int(uchar(m_text[i])) : -1;
    }
    bool nextIsDigit() const { return isDigit(peek()); }
    void advance(qsizetype count = 1) { m_pos += count; }
    bool skip(char c)
    {
        if (peek() != uchar(c))
            return false;
        ++m_pos;
        return true;
    }
    qsizetype skipRun(char c)
    {
        qsizetype count = 0;
        while (skip(c))
            ++count;
        return count;
    }
    void skipSpaces()
    {
        while (isSpace(peek()))
            ++m_pos;
    }

    // Any run of digits as an unsigned 32-bit value (wrapping), with the number of digits read.
    struct Number {
        quint32 value = 0;
        qsizetype digits = 0;
    };
    Number readNumber()
    {
        Number n;
        while (nextIsDigit()) {
            n.value = n.value * 10u + quint32(peek() - '0');
            ++n.digits;
            ++m_pos;
        }
        return n;
    }
    Number readDigits(int most)
    {
        Number n;
        while (n.digits < most && nextIsDigit()) {
            n.value = n.value * 10u + quint32(peek() - '0');
            ++n.digits;
            ++m_pos;
        }
        return n;
    }
    // One or two digits; none reads as 0.
    qint64 readTwo() { return readDigits(2).value; }
    // Digits with an optional fraction after '.' or ','.
    double readDecimal()
    {
        double value = 0;
        while (nextIsDigit()) {
            value = value * 10 + (peek() - '0');
            ++m_pos;
        }
        if (peek() == '.' || peek() == ',') {
            ++m_pos;
            double weight = 0.1;
            while (nextIsDigit()) {
                value += (peek() - '0') * weight;
                weight *= 0.1;
                ++m_pos;
            }
        }
        return value;
    }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

enum class DateKind { Calendar, Ordinal, Week };

struct ParsedDate {
    qint64 year = 0;
    qint64 month = 1;
    qint64 day = 1;
    qint64 week = 1;
    qint64 weekday = 1;
    DateKind kind = DateKind::Calendar;
};

class Reader {
public:
    Reader(QByteArrayView utf8, const ISO8601Parser::Today &today, bool strict, char16_t separator)
        : m_text(utf8), m_in(utf8), m_today(today), m_strict(strict), m_separator(separator)
    {
    }

    ISO8601ParseResult run();

private:
    bool readDate();
    bool readFourDigitForm(quint32 value, qsizetype hyphens);
    bool readShortForm(quint32 value, qsizetype digits, qsizetype hyphens);
    bool readAfterTwoDigitYear();
    bool readWeekPart();
    bool setOrdinal(qint64 year, qint64 dayOfYear, bool checkedInStrictMode);
    bool readTime();
    void readZone();
    bool nextIsSeparator() const { return m_separator < 0x80 && m_in.peek() == int(m_separator); }

    qint64 century() const { return m_today.year - Gregorian::floorMod<qint64>(m_today.year, 100); }
    qint64 decade() const { return m_today.year - Gregorian::floorMod<qint64>(m_today.year, 10); }

    QByteArrayView m_text;
    Cursor m_in;
    ISO8601Parser::Today m_today;
    bool m_strict;
    char16_t m_separator;

    ParsedDate m_date;
    double m_hour = 0;
    double m_minute = 0;
    double m_second = 0;
    std::optional<ISO8601TimeZone> m_zone;
};

ISO8601ParseResult Reader::run()
{
    ISO8601ParseResult result;
    if (m_text.isEmpty() || (m_strict && isSpace(uchar(m_text.front()))))
        return result;
    m_in.skipSpaces();
    const qsizetype start = m_in.position();

    if (!readDate() || !readTime())
        return result;
    if (!(m_minute < LargestTimeField) || !(m_second < LargestTimeField))
        return result;

    ISO8601DateComponents &c = result.components;
    c.year = m_date.year;
    c.hour = qint64(m_hour);
    c.minute = qint64(m_minute);
    c.second = qint64(m_second);
    switch (m_date.kind) {
    case DateKind::Calendar:
        c.month = m_date.month;
        c.day = m_date.day;
        break;
    case DateKind::Ordinal:
        c.day = m_date.day;
        break;
    case DateKind::Week: {
        const int jan1 = Gregorian::weekdayOfJanuaryFirst(m_date.year);
        c.day = m_date.weekday + 7 * m_date.week - 7 - jan1 + (jan1 > 3 ? 7 : 0);
        break;
    }
    }
    result.timeZone = m_zone;
    result.range = {start, m_in.position() - start};
    return result;
}

bool Reader::readDate()
{
    if (m_in.skip('T')) {
        m_date.year = m_today.year;
        m_date.month = m_today.month;
        m_date.day = m_today.day;
        return m_in.nextIsDigit();
    }
    const qsizetype hyphens = m_in.skipRun('-');
    const Cursor::Number n = m_in.readNumber();
    const quint32 s = n.value;
    switch (n.digits) {
    case 8:
        if (hyphens != 0)
            return false;
        m_date.year = s / 10000;
        m_date.month = (s / 100) % 100;
        m_date.day = s % 100;
        return true;
    case 7:
        return hyphens == 0 && setOrdinal(s / 1000, s % 1000, true);
    case 6:
        if (hyphens != 0)
            return false;
        m_date.year = century() + s / 10000;
        m_date.month = (s / 100) % 100;
        m_date.day = s % 100;
        return true;
    case 4:
        return readFourDigitForm(s, hyphens);
    case 3:
        if (hyphens != 1 && hyphens != 2)
            return false;
        return setOrdinal(m_today.year, s, true);
    case 2:
    case 1:
    case 0:
        return readShortForm(s, n.digits, hyphens);
    default:
        return false;
    }
}

bool Reader::readFourDigitForm(quint32 s, qsizetype hyphens)
{
    switch (hyphens) {
    case 0: {
        m_date.year = s;
        m_in.skip('-');
        if (m_in.peek() == 'W')
            return readWeekPart();
        if (!m_in.nextIsDigit())
            return true; // 1 January
        const Cursor::Number t = m_in.readNumber();
        switch (t.digits) {
        case 2:
            m_date.month = t.value;
            m_in.skip('-');
            m_date.day = m_in.nextIsDigit() ? m_in.readNumber().value : 1;
            return true;
        case 3:
            return setOrdinal(s, t.value % 1000, true);
        case 4:
            m_date.month = t.value / 100;
            m_date.day = t.value % 100;
            return true;
        default:
            return false;
        }
    }
    case 1:
        m_date.year = s / 100;
        m_date.month = s % 100;
        m_in.skip('-');
        m_date.day = m_in.nextIsDigit() ? m_in.readNumber().value : 1;
        return true;
    case 2:
        m_date.year = m_today.year;
        m_date.month = s / 100;
        m_date.day = s % 100;
        return true;
    default:
        return false;
    }
}

bool Reader::readShortForm(quint32 s, qsizetype digits, qsizetype hyphens)
{
    if (digits == 0) {
        if (m_in.peek() == 'W' && m_in.peek(1) == '-' && isDigit(m_in.peek(2)) &&
            (hyphens == 1 || (hyphens == 2 && !m_strict))) {
            m_in.advance(2);
            m_date.year = m_today.year;
            m_date.week = 1;
            m_date.weekday = m_in.readTwo();
            m_date.kind = DateKind::Week;
            return true;
        }
        if (hyphens == 1 && m_in.peek() == 'W') {
            m_date.year = m_today.year;
            return readWeekPart();
        }
        return false;
    }
    if (digits == 1 && m_strict) {
        if (hyphens != 1)
            return false;
        m_date.year = decade() + s;
        m_in.skip('-');
        return m_in.peek() == 'W' && readWeekPart();
    }
    switch (hyphens) {
    case 0:
        if (m_in.skip('-')) {
            m_date.year = century() + s;
            if (m_in.peek() == 'W')
                return readWeekPart();
            if (m_in.nextIsDigit())
                return readAfterTwoDigitYear();
        } else if (m_in.peek() == 'W') {
            m_date.year = century() + s;
            return readWeekPart();
        }
        // Only the century: "12" is the year 12xx, taking its last two digits from today.
        m_date.year = qint64(s) * 100 + Gregorian::floorMod<qint64>(m_today.year, 100);
        m_date.month = 1;
        m_date.day = 1;
        return true;
    case 1:
        m_date.year = (digits == 1 ? decade() : century()) + s;
        m_date.month = m_in.skip('-') ? m_in.readTwo() : 1;
        m_date.day = 1;
        return true;
    case 2:
        m_date.year = m_today.year;
        m_date.month = s;
        m_date.day = m_in.skip('-') ? m_in.readTwo() : 1;
        return true;
    case 3:
        m_date.year = m_today.year;
        m_date.month = m_today.month;
        m_date.day = s;
        return true;
    default:
        return false;
    }
}

bool Reader::readAfterTwoDigitYear()
{
    const Cursor::Number t = m_in.readDigits(4);
    switch (t.digits) {
    case 1:
        if (m_strict)
            return false;
        [[fallthrough]];
    case 2:
        m_date.month = t.value;
        m_in.skip('-');
        m_date.day = m_in.nextIsDigit() ? m_in.readTwo() : 1;
        return true;
    case 3:
        return setOrdinal(m_date.year, t.value, false);
    default:
        m_date.month = t.value / 100;
        m_date.day = t.value % 100;
        return true;
    }
}

bool Reader::readWeekPart()
{
    m_in.advance(); // the 'W'
    if (!m_in.nextIsDigit()) {
        if (m_strict)
            return false;
        m_date.month = 1;
        m_date.day = 1;
        return true;
    }
    m_date.week = m_in.readTwo();
    m_in.skip('-');
    m_date.weekday = m_in.nextIsDigit() ? m_in.readTwo() : 1;
    m_date.kind = DateKind::Week;
    return true;
}

bool Reader::setOrdinal(qint64 year, qint64 dayOfYear, bool checkedInStrictMode)
{
    if (m_strict && checkedInStrictMode && dayOfYear > Gregorian::daysInYear(year))
        return false;
    m_date.year = year;
    m_date.day = dayOfYear;
    m_date.kind = DateKind::Ordinal;
    return true;
}

bool Reader::readTime()
{
    if (isSpace(m_in.peek()) || m_in.peek() == 'T')
        m_in.advance();
    if (!m_in.nextIsDigit())
        return true;
    m_hour = double(m_in.readTwo());
    if (nextIsSeparator()) {
        m_in.advance();
        if (m_separator == u'.' || m_separator == u',') {
            m_minute = double(m_in.readTwo());
            if (nextIsSeparator()) {
                m_in.advance();
                m_second = double(m_in.readTwo());
            }
        } else {
            m_minute = m_in.readDecimal();
            const double fraction = m_minute - std::trunc(m_minute);
            if (fraction > DBL_EPSILON) {
                m_second = fraction * 60;
            } else if (nextIsSeparator()) {
                m_in.advance();
                m_second = m_in.readDecimal();
            }
        }
    }
    readZone();
    return true;
}

void Reader::readZone()
{
    const int c = m_in.peek();
    if (c == 'Z') {
        m_zone = ISO8601TimeZone::utc(); // not counted in the range
        return;
    }
    if (c != '+' && c != '-')
        return;
    m_in.advance();
    if (!m_in.nextIsDigit())
        return;
    const qint64 hours = m_in.readTwo();
    if (nextIsSeparator())
        m_in.advance();
    const qint64 minutes = m_in.nextIsDigit() ? m_in.readTwo() : 0;
    const qint64 offset = hours * 3600 + minutes * 60;
    m_zone = ISO8601TimeZone::fromOffset(int(c == '-' ? -offset : offset));
}

} // namespace

ISO8601ParseResult ISO8601Parser::parse(QByteArrayView utf8, const Today &today, bool strict,
                                        char16_t timeSeparator)
{
    return Reader(utf8, today, strict, timeSeparator).run();
}
