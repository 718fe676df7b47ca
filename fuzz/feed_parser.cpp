// Feed document bytes in, events and entries out; cutting the bytes into chunks must not change
// the outcome. The first input byte picks the chunk pattern and the HTTP charset.
#include "model/feedentrycollector.h"
#include "model/parse/feedparser.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

// Records the events and files the entries at the same time.
class Recorder : public FeedEntryCollector {
public:
    QStringList events;

    void startElement(const QStringList &path, const FeedAttributes &attributes) override
    {
        QString line = QStringLiteral("S ") + path.join(u'/');
        for (int i = 0; i < attributes.count(); ++i)
            line += u' ' + attributes.name(i) + u'=' + attributes.value(i);
        events.append(line);
        FeedEntryCollector::startElement(path, attributes);
    }
    void characters(const QStringList &path, const QString &text) override
    {
        events.append(QStringLiteral("T ") + path.join(u'/') + u' ' + text);
        FeedEntryCollector::characters(path, text);
    }
    void endElement(const QStringList &path) override
    {
        events.append(QStringLiteral("E ") + path.join(u'/'));
        FeedEntryCollector::endElement(path);
    }
};

struct Outcome {
    QStringList events;
    QList<FeedEntry> entries;
    QString title;
    bool ok = false;
};

Outcome parse(QByteArrayView document, const QByteArray &charset, uint8_t pattern, bool chunked)
{
    Recorder recorder;
    FeedParser parser(recorder, FeedParser::Options{std::chrono::nanoseconds::zero()});
    parser.setHttpCharset(charset);
    if (!chunked) {
        parser.feed(document);
    } else {
        uint32_t state = pattern * 2654435761u + 1;
        qsizetype offset = 0;
        while (offset < document.size()) {
            state = state * 1103515245u + 12345u;
            const qsizetype size = std::min<qsizetype>(1 + (state >> 16) % (pattern % 4 == 0 ? 2 : 64), document.size() - offset);
            parser.feed(document.sliced(offset, size));
            offset += size;
        }
    }
    const bool ok = parser.finish();
    return {recorder.events, recorder.entries(), recorder.title(), ok};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const QByteArray charsets[] = {{}, "utf-8", "iso-8859-1", "utf-16", "shift_jis", "bogus"};
    const uint8_t pattern = data[0];
    const QByteArray charset = charsets[pattern % std::size(charsets)];
    const QByteArrayView document(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));

    const Outcome whole = parse(document, charset, pattern, false);
    const Outcome pieces = parse(document, charset, pattern, true);
    if (whole.ok != pieces.ok)
        abort();
    if (whole.ok && (whole.events != pieces.events || whole.entries != pieces.entries || whole.title != pieces.title))
        abort();
    return 0;
}
