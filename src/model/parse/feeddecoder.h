#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

// Turns the bytes of a feed document, as they arrive, into clean UTF-8 for the XML parser.
//
// The character set is chosen once, from the first bytes: a byte-order mark wins, then the
// charset the HTTP response declared, then the encoding in the XML declaration, else UTF-8.
// ISO-8859-1 and US-ASCII labels are read as windows-1252, as browsers do, because feeds
// labelled that way routinely carry its quotation marks. Undecodable bytes become U+FFFD;
// characters XML forbids (C0 controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF) are dropped. The output does not depend on how the input is cut into chunks.
class FeedDecoder {
public:
    FeedDecoder();
    ~FeedDecoder();
    FeedDecoder(const FeedDecoder &) = delete;
    FeedDecoder &operator=(const FeedDecoder &) = delete;

    // The charset parameter of the HTTP Content-Type, or empty. Set it before the first decode().
    void setHttpCharset(const QByteArray &charset);

    // The UTF-8 for as much of the input as can be decoded so far. That is `bytes` itself when
    // they need no change (no copy), else the contents of `buffer`, which it overwrites; valid
    // until the next call.
    QByteArrayView decode(QByteArrayView bytes, QByteArray &buffer);
    // The rest at the end of the document, likewise.
    QByteArrayView finish(QByteArray &buffer);

    // The character set in use ("UTF-8", "windows-1252", ...); empty until it has been chosen.
    QByteArray encoding() const;

    // The charset parameter of a Content-Type header value, or empty.
    static QByteArray charsetFromContentType(QByteArrayView contentType);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
