#include "prefs/integertext.h"

#include <limits>

int IntegerText::value(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 magnitude = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        magnitude = std::min(limit, magnitude * 10 + (text.at(i).unicode() - u'0'));
    const qint64 signedValue = negative ? -magnitude : magnitude;
    return int(
        std::clamp<qint64>(signedValue, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
