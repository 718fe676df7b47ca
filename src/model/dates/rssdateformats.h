#pragma once

#include <QDateTime>
#include <QStringView>

#include <unicode/smpdtfmt.h>

#include <array>
#include <memory>

// The five RSS date patterns as ICU formatters with the "en_US" locale, tried in order:
//   "EEE, dd MMMM yyyy HH:mm:ss Z", "… zzzz", "… z~zzz", "… v~vvv", "… vvvv" (the tilde is literal).
// A pattern accepts a text only when it consumes all of it.
//
// ICU formatters are costly to build and not safe to share while parsing, so each thread builds its own
// set once, on first use, and keeps it until the thread ends.
class RSSDateFormats {
public:
    static constexpr int PatternCount = 5;

    // The calling thread's formatters.
    static RSSDateFormats &forThisThread();

    // The date of the first pattern that accepts the text, or no date.
    QDateTime parse(QStringView text);
    // The date pattern `index` (0-based) gives, or no date.
    QDateTime parseWithPattern(int index, QStringView text);

    RSSDateFormats(const RSSDateFormats &) = delete;
    RSSDateFormats &operator=(const RSSDateFormats &) = delete;

private:
    RSSDateFormats();

    std::array<std::unique_ptr<icu::SimpleDateFormat>, PatternCount> m_formats;
};
