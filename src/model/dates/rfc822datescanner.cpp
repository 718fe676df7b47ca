#include "model/dates/rfc822datescanner.h"

#include "model/dates/dateconversion.h"
#include "support/iso8601/gregorian.h"

#include <algorithm>
#include <array>

namespace {

// Three-letter names as three UTF-16 units in one number, so that a name is matched by one comparison.
constexpr quint64 packedName(const char16_t *name)
{
    return quint64(name[0]) << 32 | quint64(name[1]) << 16 | quint64(name[2]);
}

constexpr std::array<quint64, 7> Weekdays = {packedName(u"Mon"), packedName(u"Tue"), packedName(u"Wed"),
                                             packedName(u"Thu"), packedName(u"Fri"), packedName(u"Sat"),
                                             packedName(u"Sun")};
constexpr std::array<quint64, 12> Months = {packedName(u"Jan"), packedName(u"Feb"), packedName(u"Mar"),
                                            packedName(u"Apr"), packedName(u"May"), packedName(u"Jun"),
                                            packedName(u"Jul"), packedName(u"Aug"), packedName(u"Sep"),
                                            packedName(u"Oct"), packedName(u"Nov"), packedName(u"Dec")};
// ICU reads other offsets too, but no real zone lies beyond these.
constexpr int LargestOffsetHours = 18;

class Reader {
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    // Compared here rather than with startsWith(): the pieces are a few characters long and a call
    // into Qt's general comparison costs more than they do.
    bool literal(QStringView expected)
    {
        if (m_text.size() - m_pos < expected.size() ||
            !std::equal(expected.begin(), expected.end(), m_text.begin() + m_pos))
            return false;
        m_pos += expected.size();
        return true;
    }
    // Index of the three-letter name the text continues with, or -1.
    template <std::size_t N> int oneOf(const std::array<quint64, N> &names)
    {
        if (m_text.size() - m_pos < 3)
            return -1;
        const auto found = std::find(names.begin(), names.end(), packedName(m_text.utf16() + m_pos));
        if (found == names.end())
            return -1;
        m_pos += 3;
        return int(found - names.begin());
    }
    // Exactly `count` ASCII digits, or -1.
    int digits(int count)
    {
        if (m_pos + count > m_text.size())
            return -1;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char16_t c = m_text[m_pos + i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        m_pos += count;
        return value;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> Lengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && Gregorian::isLeapYear(year) ? 29 : Lengths[month - 1];
}

// Offset of the zone the text ends with, in seconds east of UTC.
std::optional<int> readZone(Reader &in)
{
    if (in.literal(u"GMT") || in.literal(u"UTC") || in.literal(u"UT") || in.literal(u"Z"))
        return 0;
    const bool west = in.literal(u"-");
    if (!west && !in.literal(u"+"))
        return std::nullopt;
    const int hours = in.digits(2);
    const int minutes = in.digits(2);
    if (hours < 0 || hours > LargestOffsetHours || minutes < 0 || minutes > 59)
        return std::nullopt;
    const int offset = hours * 3600 + minutes * 60;
    return west ? -offset : offset;
}

} // namespace

std::optional<QDateTime> RFC822DateScanner::scan(QStringView text)
{
    Reader in(text);
    if (in.oneOf(Weekdays) < 0 || !in.literal(u", "))
        return std::nullopt;
    const int day = in.digits(2);
    if (day < 1 || !in.literal(u" "))
        return std::nullopt;
    const int month = in.oneOf(Months) + 1;
    if (month < 1 || !in.literal(u" "))
        return std::nullopt;
    const int year = in.digits(4);
    if (year < 1900 || day > daysInMonth(year, month) || !in.literal(u" "))
        return std::nullopt;
    const int hour = in.digits(2);
    if (hour < 0 || hour > 23 || !in.literal(u":"))
        return std::nullopt;
    const int minute = in.digits(2);
    if (minute < 0 || minute > 59 || !in.literal(u":"))
        return std::nullopt;
    const int second = in.digits(2);
    if (second < 0 || second > 59 || !in.literal(u" "))
        return std::nullopt;
    const std::optional<int> offset = readZone(in);
    if (!offset || !in.atEnd())
        return std::nullopt;
    return DateConversion::fromCheckedFields(year, month, day, hour, minute, second, *offset);
}
