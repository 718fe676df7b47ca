#pragma once

#include <QString>

#include <string>

// The text between two element events of one parse, gathered from the pieces libxml2 hands over
// (as UTF-8) and decoded into one QString kept for the whole parse: no allocation per text unless
// the handler keeps a copy of it. The bytes come well-formed from FeedDecoder and libxml2; should
// they not be, each stray byte becomes U+FFFD, and nothing is read past the end. A byte order
// mark that starts a text is dropped; one inside it is kept.
//
// A text keeps at most maxBytes; the rest is dropped, cut at a character boundary. Entries keep
// less than that of any text (TextCaps), so the cut only bounds the memory a huge text takes.
class FeedText {
public:
    static constexpr size_t maxBytes = 3 * 1024 * 1024;

    void append(const char *bytes, size_t length)
    {
        if (m_bytes.size() + length <= m_limit)
            m_bytes.append(bytes, length);
        else
            appendUpToTheCap(bytes, length);
    }

    bool isEmpty() const { return m_bytes.empty(); }

    // The text gathered since the last take(); valid until the next call.
    const QString &take();

private:
    void appendUpToTheCap(const char *bytes, size_t length);

    std::string m_bytes;       // keeps its capacity from text to text
    size_t m_limit = maxBytes; // the length once the text was cut: nothing may follow the gap
    QString m_text;
};
