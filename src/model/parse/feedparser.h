#pragma once

#include "model/parse/elementpause.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <memory>

class FeedParserHandler;

// An event-driven parser for feed documents, fed with bytes as they arrive (libxml2's push
// SAX2 parser underneath). Reports elements by their qualified names exactly as written;
// namespaces are not resolved.
//
// It never reads files or the network: a document that declares an external entity or a
// parameter entity fails. Entities declared in the document expand to text, at most 1 MiB in
// all. Entities it does not declare are looked up in the HTML entity table (&nbsp;, &rsquo;, ...);
// an unknown one fails the document. Encoding and forbidden characters: see FeedDecoder. A text
// longer than FeedText::maxBytes is cut there.
//
// One parser reads one document, on one thread.
class FeedParser {
public:
    struct Options {
        // Pause at every element start; zero switches it off.
        std::chrono::nanoseconds elementPause = ElementPause::standardLength;
    };

    explicit FeedParser(FeedParserHandler &handler);
    FeedParser(FeedParserHandler &handler, Options options);
    ~FeedParser();
    FeedParser(const FeedParser &) = delete;
    FeedParser &operator=(const FeedParser &) = delete;

    // The charset parameter of the HTTP response; call before the first feed().
    void setHttpCharset(const QByteArray &charset);

    // Parses the next bytes of the document. False once the document has failed.
    bool feed(QByteArrayView bytes);
    // Ends the document. True when it was complete and well-formed.
    bool finish();

    bool failed() const;
    // "XML error at line N: ..." after a failure, empty otherwise.
    QString errorString() const;
    // The character set the document was read in, once known.
    QByteArray encoding() const;

    // Parses a whole document in one go; returns errorString() (empty on success).
    static QString parse(QByteArrayView document, FeedParserHandler &handler, Options options);

    // Total text that entities declared inside a document may expand to.
    static constexpr qsizetype maxEntityExpansion = 1024 * 1024;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
