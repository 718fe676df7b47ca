#include "model/dates/rssdateformats.h"

#include "model/dates/dateconversion.h"

#include <QtGlobal>

#include <unicode/locid.h>

namespace {

constexpr std::array<const char16_t *, RSSDateFormats::PatternCount> Patterns = {
    u"EEE, dd MMMM yyyy HH:mm:ss Z", u"EEE, dd MMMM yyyy HH:mm:ss zzzz", u"EEE, dd MMMM yyyy HH:mm:ss z~zzz",
    u"EEE, dd MMMM yyyy HH:mm:ss v~vvv", u"EEE, dd MMMM yyyy HH:mm:ss vvvv"};

// "yyyy" also reads two-digit years as they stand: "10 Jun 03" would be the year 3. Such dates are left to
// the fail-over parser, which knows two-digit years.
constexpr int FirstAcceptedYear = 100;

} // namespace

RSSDateFormats &RSSDateFormats::forThisThread()
{
    thread_local RSSDateFormats formats;
    return formats;
}

RSSDateFormats::RSSDateFormats()
{
    const icu::Locale locale("en_US");
    for (int i = 0; i < PatternCount; ++i) {
        UErrorCode status = U_ZERO_ERROR;
        auto format =
            std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(Patterns[i]), locale, status);
        if (U_FAILURE(status)) {
            qWarning("RSS date pattern %d is unusable: %s", i + 1, u_errorName(status));
            continue;
        }
        format->setLenient(false);
        m_formats[i] = std::move(format);
    }
}

QDateTime RSSDateFormats::parse(QStringView text)
{
    for (int i = 0; i < PatternCount; ++i) {
        const QDateTime date = parseWithPattern(i, text);
        if (date.isValid())
            return date;
    }
    return {};
}

QDateTime RSSDateFormats::parseWithPattern(int index, QStringView text)
{
    icu::SimpleDateFormat *format = m_formats.at(index).get();
    const icu::UnicodeString unicode = DateConversion::toUnicodeString(text);
    if (!format || unicode.isBogus())
        return {};
    icu::ParsePosition position(0);
    const UDate parsed = format->parse(unicode, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicode.length())
        return {};
    const QDateTime date = DateConversion::fromUDate(parsed);
    if (!date.isValid() || date.date().year() < FirstAcceptedYear)
        return {};
    return date;
}
