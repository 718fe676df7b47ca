#include "model/feedtext.h"

#include "support/stringadditions.h"

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
    return m_text;
}
