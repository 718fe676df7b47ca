#include "feedgenerator.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace {

constexpr std::array kWords{"markets", "council",  "harbour", "election", "bridge",  "museum",
                            "storm",   "festival", "library", "railway",  "orchard", "summit",
                            "airport", "theatre",  "glacier", "vineyard", "reopens", "delays",
                            "expands", "debates",  "records", "unveils",  "closes",  "welcomes"};

std::string escape(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Re-encodes UTF-8 text to a single-byte set (what does not fit becomes a character reference).
std::string encodeSingleByte(const std::string &utf8, bool windows1252)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t code = c;
        size_t length = 1;
        if (c >= 0xF0) {
            code = c & 0x07;
            length = 4;
        } else if (c >= 0xE0) {
            code = c & 0x0F;
            length = 3;
        } else if (c >= 0xC0) {
            code = c & 0x1F;
            length = 2;
        }
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (windows1252 && code == 0x2019)
            out += '\x92';
        else if (windows1252 && code == 0x201C)
            out += '\x93';
        else if (windows1252 && code == 0x201D)
            out += '\x94';
        else if (windows1252 && code == 0x20AC)
            out += '\x80';
        else if (code < 0x100)
            out += static_cast<char>(code);
        else
            out += "&#" + std::to_string(code) + ";";
    }
    return out;
}

} // namespace

std::string FeedGenerator::httpDate(int64_t unixTime)
{
    const time_t t = static_cast<time_t>(unixTime);
    tm parts{};
    gmtime_r(&t, &parts);
    char buffer[64];
    strftime(buffer, sizeof buffer, "%a, %d %b %Y %H:%M:%S +0000", &parts);
    return buffer;
}

std::string FeedGenerator::isoDate(int64_t unixTime)
{
    const time_t t = static_cast<time_t>(unixTime);
    tm parts{};
    gmtime_r(&t, &parts);
    char buffer[64];
    strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return buffer;
}

int64_t FeedGenerator::newestEntry(const FeedSpec &spec)
{
    return spec.entries + std::max<int64_t>(spec.step, 0) * spec.rate;
}

int64_t FeedGenerator::entryDate(const FeedSpec &spec, int64_t entry)
{
    return spec.origin + (entry - spec.entries) * spec.period / std::max(spec.rate, 1);
}

int FeedGenerator::revision(const FeedSpec &spec, int64_t entry)
{
    if (spec.updateEvery <= 0)
        return 0;
    const int64_t published = entry <= spec.entries ? 0 : (entry - spec.entries + spec.rate - 1) / spec.rate;
    return static_cast<int>(std::max<int64_t>(spec.step - published, 0) / spec.updateEvery);
}

std::string FeedGenerator::headline(const FeedSpec &spec, int64_t entry, int revision)
{
    const size_t seed = std::hash<std::string>()(spec.id) + static_cast<size_t>(entry) * 7919;
    std::string text = std::string(kWords[seed % 16]);
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    text += " " + std::string(kWords[16 + (seed / 16) % 8]) + " " + std::string(kWords[(seed / 128) % 16]);
    text += " \xE2\x80\x94 " + spec.id + " #" + std::to_string(entry);
    if (revision > 0)
        text += " (update " + std::to_string(revision) + ")";
    return text;
}

std::string FeedGenerator::rssHead(const FeedSpec &spec)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"" + spec.encoding +
                      "\"?>\n"
                      "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                      "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">\n<channel>\n";
    out += "<title>" + escape("Feedsim \xE2\x80\x9C" + spec.id + "\xE2\x80\x9D") + "</title>\n";
    out += "<link>" + spec.baseUrl + "/</link>\n<description>Generated feed " + escape(spec.id) +
           "</description>\n";
    if (spec.image)
        out += "<image>\n<url>" + spec.baseUrl + "/images/" + escape(spec.id) + ".png</url>\n<title>" +
               escape(spec.id) + "</title>\n<link>" + spec.baseUrl + "/</link>\n</image>\n";
    return out;
}

std::string FeedGenerator::rssItem(const FeedSpec &spec, int64_t entry)
{
    const int rev = revision(spec, entry);
    const std::string number = std::to_string(entry);
    std::string out = "<item>\n";
    out += "<title>" + escape(headline(spec, entry, rev)) + "</title>\n";
    if (!spec.bare) {
        out += "<link>" + spec.baseUrl + "/articles/" + escape(spec.id) + "/" + number + "</link>\n";
        out += "<description>" +
               escape("<p>Story " + number + " of " + spec.id + ", revision " + std::to_string(rev) +
                      ". Caf\xC3\xA9 prices \xE2\x80\x99rise\xE2\x80\x99 \xE2\x82\xAC" + "5.</p>") +
               "</description>\n";
    }
    if (spec.dated)
        out += "<pubDate>" + httpDate(entryDate(spec, entry)) + "</pubDate>\n";
    out += "<guid isPermaLink=\"false\">" + escape(spec.id) + "-" + number + "</guid>\n";
    if (!spec.bare)
        out += "<dc:creator>Feedsim</dc:creator>\n";
    out += "</item>\n";
    return out;
}

std::string FeedGenerator::rssTail()
{
    return "</channel>\n</rss>\n";
}

std::string FeedGenerator::atom(const FeedSpec &spec)
{
    const int64_t newest = newestEntry(spec);
    std::string out = "<?xml version=\"1.0\" encoding=\"" + spec.encoding +
                      "\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">\n";
    out += "<title>" + escape("Feedsim \xE2\x80\x9C" + spec.id + "\xE2\x80\x9D") + "</title>\n";
    out += "<id>urn:feedsim:" + escape(spec.id) + "</id>\n<updated>" + isoDate(entryDate(spec, newest)) +
           "</updated>\n";
    out += "<link href=\"" + spec.baseUrl + "/\"/>\n";
    for (int64_t entry = newest; entry > newest - spec.entries && entry > 0; --entry) {
        const int rev = revision(spec, entry);
        const std::string number = std::to_string(entry);
        out += "<entry>\n<title>" + escape(headline(spec, entry, rev)) + "</title>\n";
        out += "<link rel=\"alternate\" href=\"" + spec.baseUrl + "/articles/" + escape(spec.id) + "/" +
               number + "\"/>\n";
        out += "<id>urn:feedsim:" + escape(spec.id) + ":" + number + "</id>\n";
        if (spec.dated) {
            out += "<published>" + isoDate(entryDate(spec, entry)) + "</published>\n";
            out += "<updated>" + isoDate(entryDate(spec, entry) + rev * spec.period) + "</updated>\n";
        }
        out += "<summary>Story " + number + ", revision " + std::to_string(rev) + "</summary>\n";
        out += "<content type=\"html\">" + escape("<p>Story " + number + " of " + spec.id + "</p>") +
               "</content>\n";
        out += "</entry>\n";
    }
    return out + "</feed>\n";
}

std::string FeedGenerator::document(const FeedSpec &spec)
{
    std::string out;
    if (spec.format == FeedSpec::Format::Atom) {
        out = atom(spec);
    } else {
        out = rssHead(spec);
        const int64_t newest = newestEntry(spec);
        for (int64_t entry = newest; entry > newest - spec.entries && entry > 0; --entry)
            out += rssItem(spec, entry);
        out += rssTail();
    }
    if (spec.encoding == "ISO-8859-1")
        return encodeSingleByte(out, false);
    if (spec.encoding == "windows-1252")
        return encodeSingleByte(out, true);
    return out;
}
