#include "model/dates/localedateformatter.h"

#include <QTimeZone>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace {

icu::DateFormat::EStyle icuStyle(LocaleDateFormatter::Style style)
{
    switch (style) {
    case LocaleDateFormatter::Style::None:
        return icu::DateFormat::kNone;
    case LocaleDateFormatter::Style::Short:
        return icu::DateFormat::kShort;
    case LocaleDateFormatter::Style::Medium:
        return icu::DateFormat::kMedium;
    case LocaleDateFormatter::Style::Long:
        return icu::DateFormat::kLong;
    case LocaleDateFormatter::Style::Full:
        return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

} // namespace

LocaleDateFormatter::LocaleDateFormatter(Style dateStyle, Style timeStyle)
    : m_dateStyle(dateStyle), m_timeStyle(timeStyle), m_localeName(QLocale().name())
{
    rebuild();
}

LocaleDateFormatter::~LocaleDateFormatter() = default;

void LocaleDateFormatter::setLocale(const QLocale &locale)
{
    const QString name = locale.name();
    if (name == m_localeName && m_format)
        return;
    m_localeName = name;
    rebuild();
}

void LocaleDateFormatter::rebuild()
{
    const icu::Locale locale(m_localeName.toLatin1().constData());
    m_format.reset(
        icu::DateFormat::createDateTimeInstance(icuStyle(m_dateStyle), icuStyle(m_timeStyle), locale));
    m_zoneId.clear();
}

// The zone is looked up at every call, as the day boundaries of "today" are, so that both agree
// when TZ changes while the program runs.
void LocaleDateFormatter::followTimeZone()
{
    const QByteArray zoneId = QTimeZone::systemTimeZoneId();
    if (zoneId == m_zoneId)
        return;
    m_zoneId = zoneId;
    icu::TimeZone *zone = icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneId.constData()));
    m_format->adoptTimeZone(zone);
}

QString LocaleDateFormatter::stringFromDate(const QDateTime &date)
{
    if (!date.isValid() || !m_format)
        return {};
    followTimeZone();
    icu::UnicodeString text;
    m_format->format(UDate(date.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}
