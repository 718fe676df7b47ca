#include "model/parse/feedtext.h"

#include "support/stringadditions.h"

#include <algorithm>

// The first byte left out must not continue a sequence that the kept bytes start.
void FeedText::appendUpToTheCap(const char *bytes, size_t length)
{
    size_t kept = std::min(length, m_limit - std::min(m_limit, m_bytes.size()));
    while (kept > 0 && kept < length && (static_cast<unsigned char>(bytes[kept]) & 0xC0) == 0x80)
        --kept;
    m_bytes.append(bytes, kept);
    m_limit = m_bytes.size();
}

// In a pretty-printed document most texts are the line break between two elements.
const QString &FeedText::take()
{
    static const QString lineBreak = QStringLiteral("\n");
    if (m_bytes.size() == 1 && m_bytes.front() == '\n') {
        m_bytes.clear();
        return lineBreak;
    }
    StringAdditions::decodeUtf8(QByteArrayView(m_bytes.data(), qsizetype(m_bytes.size())), m_text);
    m_bytes.clear();
    m_limit = maxBytes;
    return m_text;
}
