// Feed document bytes in, parser events and a feed source's entries out; cutting the bytes into
// chunks must not change the outcome. The first input byte picks the chunk pattern and the HTTP
// charset.
#include "model/parse/feedparser.h"
#include "model/parse/feedparserhandler.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/userdefaults.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Sources that never reach the network: the pool is closed, so an image or icon download gives up
// at once, and nothing is saved, since only a whole refresh saves.
class Owner : public RefreshEnvironment {
public:
    Owner() : defaults(home.path()), clock(QDateTime::fromSecsSinceEpoch(1780000000, Qt::UTC))
    {
        qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
        pool.close();
    }
    int numberOfSources() const override { return 1; }
    bool internetAvailable() const override { return false; }
    RefreshPool &refreshPool() override { return pool; }

    std::shared_ptr<RSSDatasource> newSource()
    {
        const QVariantMap entry{{u"uuid"_s, u"FUZZ-%1"_s.arg(++count)},
                                {u"url"_s, u"http://127.0.0.1:9/feed"_s}};
        return RSSDatasource::create(entry, defaults, clock, *this);
    }

    QTemporaryDir home;
    UserDefaults defaults;
    ManualClock clock;
    RefreshPool pool;
    int count = 0;
};

Owner &owner()
{
    static Owner instance;
    return instance;
}

// Records the parser's events on their way to the source's entry reader.
class Recorder : public FeedParserHandler {
public:
    explicit Recorder(FeedParserHandler &reader) : m_reader(reader) {}
    QStringList events;

    void startElement(const QStringList &path, const FeedAttributes &attributes) override
    {
        QString line = QStringLiteral("S ") + path.join(u'/');
        for (int i = 0; i < attributes.count(); ++i)
            line += u' ' + attributes.name(i) + u'=' + attributes.value(i);
        events.append(line);
        m_reader.startElement(path, attributes);
    }
    void characters(const QStringList &path, const QString &text) override
    {
        events.append(QStringLiteral("T ") + path.join(u'/') + u' ' + text);
        m_reader.characters(path, text);
    }
    void endElement(const QStringList &path) override
    {
        events.append(QStringLiteral("E ") + path.join(u'/'));
        m_reader.endElement(path);
    }

private:
    FeedParserHandler &m_reader;
};

struct Outcome {
    QStringList events;
    QList<QVariantMap> entries;
    QString title;
    bool ok = false;
};

Outcome parse(QByteArrayView document, const QByteArray &charset, uint8_t pattern, bool chunked)
{
    const std::shared_ptr<RSSDatasource> source = owner().newSource();
    source->beginRefresh();
    Recorder recorder(source->entryHandler());
    FeedParser parser(recorder, FeedParser::Options{std::chrono::nanoseconds::zero()});
    parser.setHttpCharset(charset);
    if (!chunked) {
        parser.feed(document);
    } else {
        uint32_t state = pattern * 2654435761u + 1;
        qsizetype offset = 0;
        while (offset < document.size()) {
            state = state * 1103515245u + 12345u;
            const qsizetype size = std::min<qsizetype>(1 + (state >> 16) % (pattern % 4 == 0 ? 2 : 64),
                                                       document.size() - offset);
            parser.feed(document.sliced(offset, size));
            offset += size;
        }
    }
    Outcome outcome;
    outcome.ok = parser.finish();
    if (outcome.ok)
        source->fileEntries();
    source->endRefresh();
    outcome.events = recorder.events;
    for (const DataItemPtr &item : source->items())
        outcome.entries.append(item->dictionary());
    outcome.title = source->name();
    return outcome;
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
    if (whole.ok &&
        (whole.events != pieces.events || whole.entries != pieces.entries || whole.title != pieces.title))
        abort();
    return 0;
}
