#include "model/feedtext.h"

#include "support/stringadditions.h"

const QString &FeedText::take()
{
    StringAdditions::decodeUtf8(QByteArrayView(m_bytes.data(), qsizetype(m_bytes.size())), m_text);
    m_bytes.clear();
    return m_text;
}
