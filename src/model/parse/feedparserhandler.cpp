#include "model/parse/feedparserhandler.h"

using namespace Qt::StringLiterals;

namespace {

QString fromUtf8(const unsigned char *begin, const unsigned char *end)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(begin), end - begin);
}

QString fromUtf8(const unsigned char *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

} // namespace

QString FeedAttributes::name(int index) const
{
    if (index < 0 || index >= count())
        return {};
    if (index < m_attributeCount) {
        const unsigned char *local = m_attributes[index * 5];
        const unsigned char *prefix = m_attributes[index * 5 + 1];
        return prefix ? fromUtf8(prefix) + u':' + fromUtf8(local) : fromUtf8(local);
    }
    const unsigned char *prefix = m_namespaces[(index - m_attributeCount) * 2];
    return prefix ? u"xmlns:"_s + fromUtf8(prefix) : u"xmlns"_s;
}

QString FeedAttributes::value(int index) const
{
    if (index < 0 || index >= count())
        return {};
    if (index < m_attributeCount)
        return fromUtf8(m_attributes[index * 5 + 3], m_attributes[index * 5 + 4]);
    const QString uri = fromUtf8(m_namespaces[(index - m_attributeCount) * 2 + 1]);
    return uri.isNull() ? u""_s : uri;
}

QString FeedAttributes::value(QStringView qualifiedName) const
{
    for (int i = 0; i < count(); ++i) {
        if (name(i) == qualifiedName)
            return value(i);
    }
    return {};
}
