#pragma once

#include <QString>

#include <string>

// The text between two element events of one parse, gathered from the pieces libxml2 hands over
// (as UTF-8) and decoded into one QString kept for the whole parse: no allocation per text unless
// the handler keeps a copy of it. The bytes come well-formed from FeedDecoder and libxml2; should
// they not be, each stray byte becomes U+FFFD, and nothing is read past the end. A byte order
// mark that starts a text is dropped; one inside it is kept.
class FeedText {
public:
    void append(const char *bytes, size_t length) { m_bytes.append(bytes, length); }

    bool isEmpty() const { return m_bytes.empty(); }

    // The text gathered since the last take(); valid until the next call.
    const QString &take();

private:
    std::string m_bytes; // keeps its capacity from text to text
    QString m_text;
};
