#include "model/dates/failoverscanner.h"

#include "support/iso8601/iso8601dateformatter.h"

#include <limits>

namespace {

// Zones lie between 12 hours west and 12 hours east in these texts; anything further is not a zone.
constexpr qint64 LargestOffsetHours = 12;

// Reads fields one after another, skipping white space before each.
class Scanner {
public:
    explicit Scanner(const QString &text) : m_text(text) {}

    bool isAtEnd()
    {
        skipSpaces();
        return m_pos == m_text.size();
    }
    // Consumes the character (either case) when it comes next.
    bool scan(char16_t c)
    {
        skipSpaces();
        if (m_pos < m_text.size() && m_text[m_pos].toUpper() == QChar(c).toUpper()) {
            ++m_pos;
            return true;
        }
        return false;
    }
    // An optionally signed decimal integer; saturates instead of overflowing. False (and nothing consumed)
    // when no digit follows. *minus tells a "-0" from a "0".
    bool scanInteger(qint64 *value, bool *minus = nullptr)
    {
        skipSpaces();
        qsizetype at = m_pos;
        const bool negative = at < m_text.size() && m_text[at] == u'-';
        if (at < m_text.size() && (m_text[at] == u'-' || m_text[at] == u'+'))
            ++at;
        const qsizetype firstDigit = at;
        qint64 magnitude = 0;
        bool saturated = false;
        for (; at < m_text.size() && isDigit(m_text[at]); ++at) {
            const int digit = m_text[at].unicode() - u'0';
            if (magnitude > (std::numeric_limits<qint64>::max() - digit) / 10)
                saturated = true;
            else
                magnitude = magnitude * 10 + digit;
        }
        if (at == firstDigit)
            return false;
        m_pos = at;
        if (minus)
            *minus = negative;
        if (saturated)
            *value = negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        else
            *value = negative ? -magnitude : magnitude;
        return true;
    }

private:
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    void skipSpaces()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

struct Fields {
    qint64 year = 0;
    qint64 month = 1;
    qint64 day = 1;
    qint64 hour = 23;
    qint64 minute = 59;
    qint64 second = 0;
    qint64 offsetSeconds = 0;
};

bool inRange(qint64 value, qint64 least, qint64 most)
{
    return value >= least && value <= most;
}

bool scanDate(Scanner &in, Fields &f)
{
    if (!in.scanInteger(&f.year))
        return false;
    if (f.year <= 99)
        f.year += 2000;
    if (!in.scan(u'-'))
        return true;
    if (!in.scanInteger(&f.month) || !inRange(f.month, 1, 12))
        return false;
    if (!in.scan(u'-'))
        return true;
    return in.scanInteger(&f.day) && inRange(f.day, 1, 31);
}

bool scanTime(Scanner &in, Fields &f)
{
    if (!in.scan(u'T'))
        return true; // no time: the end of the day
    f.minute = 0;
    if (!in.scanInteger(&f.hour))
        return false;
    f.hour %= 24;
    if (!in.scan(u':'))
        return true;
    if (!in.scanInteger(&f.minute) || !inRange(f.minute, 0, 59))
        return false;
    if (!in.scan(u':') && !in.scan(u'.'))
        return true;
    if (!in.scanInteger(&f.second) || !inRange(f.second, 0, 59))
        return false;
    qint64 fraction = 0;
    return !in.scan(u'.') || in.scanInteger(&fraction);
}

bool scanZone(Scanner &in, Fields &f)
{
    if (in.scan(u'Z') || in.isAtEnd())
        return true;
    qint64 hours = 0;
    bool west = false;
    if (!in.scanInteger(&hours, &west) || !inRange(hours, -LargestOffsetHours, LargestOffsetHours))
        return false;
    // "+05:30": the minutes count too, in the direction of the hours; anything else after the hours is
    // ignored.
    qint64 minutes = 0;
    if (!in.scan(u':') || !in.scanInteger(&minutes) || !inRange(minutes, 0, 59))
        minutes = 0;
    f.offsetSeconds = hours * 3600 + (west ? -minutes : minutes) * 60;
    return true;
}

} // namespace

QDateTime FailOverScanner::scan(const QString &text)
{
    Scanner in(text);
    Fields f;
    if (!scanDate(in, f) || !scanTime(in, f) || !scanZone(in, f))
        return {};
    return ISO8601DateFormatter::dateFromComponents({f.year, f.month, f.day, f.hour, f.minute, f.second},
                                                    ISO8601TimeZone::fromOffset(int(f.offsetSeconds)));
}
