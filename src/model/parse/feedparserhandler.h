#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The attributes of one element start, with qualified names exactly as written (namespace
// declarations included, as "xmlns" or "xmlns:prefix"). Valid only during the call that
// receives it; values are decoded on demand.
class FeedAttributes {
public:
    int count() const { return m_attributeCount + m_namespaceCount; }
    QString name(int index) const;
    QString value(int index) const;
    // The value of the attribute with this qualified name, or a null string when absent.
    QString value(QStringView qualifiedName) const;

private:
    friend class FeedParser;
    // libxml2's arrays: attributes as (local, prefix, URI, value, end), namespaces as (prefix, URI).
    const unsigned char **m_attributes = nullptr;
    int m_attributeCount = 0;
    const unsigned char **m_namespaces = nullptr;
    int m_namespaceCount = 0;
};

// Receives the events of one parse in document order, on the thread that feeds the parser.
// `path` holds the qualified names of the open elements, outermost first, such as
// ["rss", "channel", "item", "dc:date"]; in startElement and endElement its last name is the
// element itself. Text between two events arrives as one characters() call, however the
// bytes were cut, and CDATA sections arrive as text.
class FeedParserHandler {
public:
    virtual ~FeedParserHandler() = default;
    virtual void startElement(const QStringList &path, const FeedAttributes &attributes) = 0;
    virtual void characters(const QStringList &path, const QString &text) = 0;
    virtual void endElement(const QStringList &path) = 0;
};
