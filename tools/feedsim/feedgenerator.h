#pragma once

#include <cstdint>
#include <string>

// A simulated feed at one moment. Step 0 lists entries 1..entries; every step publishes `rate`
// more, and the feed keeps listing only the newest `entries` (older ones vanish). With
// `updateEvery` > 0 an entry is revised (new title and text, same guid) every that many steps
// after it appeared. Entry i is dated origin + (i - entries) * period / rate, so a feed at step s
// is dated up to origin + s * period.
struct FeedSpec {
    enum class Format { Rss, Atom };

    std::string id = "feed";
    Format format = Format::Rss;
    int entries = 10;
    int64_t step = 0;
    int rate = 1;
    int updateEvery = 0;
    int64_t period = 60;            // seconds per step
    int64_t origin = 1780000000;    // Unix time of step 0
    std::string baseUrl;            // "http://127.0.0.1:port", for links and the channel image
    bool image = true;              // RSS channel image
    bool dated = true;              // entries carry their dates
    bool bare = false;              // RSS entries hold only a title, a guid and their date
    std::string encoding = "UTF-8"; // declared and used: "UTF-8", "ISO-8859-1" or "windows-1252"
};

class FeedGenerator {
public:
    // The whole document, in spec.encoding.
    static std::string document(const FeedSpec &spec);

    // Pieces for documents streamed by hand (an endless feed).
    static std::string rssHead(const FeedSpec &spec);
    static std::string rssItem(const FeedSpec &spec, int64_t entry);
    static std::string rssTail();

    static std::string httpDate(int64_t unixTime);
    static std::string isoDate(int64_t unixTime);
    // The newest entry number listed at spec.step.
    static int64_t newestEntry(const FeedSpec &spec);

private:
    static std::string atom(const FeedSpec &spec);
    static std::string headline(const FeedSpec &spec, int64_t entry, int revision);
    static int revision(const FeedSpec &spec, int64_t entry);
    static int64_t entryDate(const FeedSpec &spec, int64_t entry);
};
