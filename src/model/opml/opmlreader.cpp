#include "model/opml/opmlreader.h"

#include <QFile>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct DocumentFree {
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};
struct ParserContextFree {
    void operator()(xmlParserCtxt *context) const { xmlFreeParserCtxt(context); }
};
struct XPathContextFree {
    void operator()(xmlXPathContext *context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObject *object) const { xmlXPathFreeObject(object); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

OpmlReadResult failure(const QString &message)
{
    OpmlReadResult result;
    result.errorString = message;
    return result;
}

bool isElement(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

bool hasChildElement(const xmlNode *node)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            return true;
    }
    return false;
}

// The attribute's value; a null string when the element has no such attribute.
QString attribute(xmlNode *node, const char *name)
{
    xmlChar *value = xmlGetNoNsProp(node, BAD_CAST name);
    if (!value)
        return QString();
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(value));
    xmlFree(value);
    return text.isNull() ? u""_s : text;
}

bool declaresEntities(const xmlDoc *document)
{
    for (const xmlDtd *dtd : {document->intSubset, document->extSubset}) {
        if (dtd && (dtd->entities || dtd->pentities))
            return true;
    }
    return false;
}

// Collects the leaf outlines below one selected outline, depth first in document order, while
// keeping count of every element visited.
class LeafCollector {
public:
    bool collect(xmlNode *element, int depth)
    {
        if (++m_visited > OpmlReader::maximumOutlines) {
            m_error = u"The file has more than %1 outlines; nothing was imported."_s.arg(
                OpmlReader::maximumOutlines);
            return false;
        }
        if (depth > OpmlReader::maximumDepth) {
            m_error = u"The outlines are nested more than %1 levels deep; nothing was imported."_s.arg(
                OpmlReader::maximumDepth);
            return false;
        }
        if (!hasChildElement(element)) {
            takeLeaf(element);
            return true;
        }
        for (xmlNode *child = element->children; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE && !collect(child, depth + 1))
                return false;
        }
        return true;
    }

    QList<OpmlFeed> feeds() const { return m_feeds; }
    int skipped() const { return m_skipped; }
    QString errorString() const { return m_error; }

private:
    void takeLeaf(xmlNode *element)
    {
        const QString url = attribute(element, "xmlUrl");
        if (!isElement(element, "outline") || attribute(element, "type") != u"rss"_s ||
            !OpmlReader::isSubscribableAddress(url)) {
            ++m_skipped;
            return;
        }
        m_feeds.append(OpmlFeed{url, attribute(element, "title")});
    }

    QList<OpmlFeed> m_feeds;
    QString m_error;
    int m_visited = 0;
    int m_skipped = 0;
};

QString parseError(xmlParserCtxt *context)
{
    const xmlError *error = xmlCtxtGetLastError(context);
    if (!error || !error->message)
        return u"The file is not a readable XML document; nothing was imported."_s;
    const QString message = QString::fromUtf8(error->message).trimmed();
    return u"The file is not a readable XML document (line %1: %2); nothing was imported."_s.arg(error->line)
        .arg(message);
}

} // namespace

OpmlReadResult OpmlReader::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(u"Cannot open %1: %2."_s.arg(path, file.errorString()));
    if (file.size() > maximumFileSize)
        return failure(
            u"%1 is larger than %2 MB, too large for a subscription list; nothing was imported."_s.arg(
                path, QString::number(maximumFileSize / (1024 * 1024))));
    const QByteArray bytes = file.read(maximumFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(u"Cannot read %1: %2."_s.arg(path, file.errorString()));
    return read(bytes);
}

OpmlReadResult OpmlReader::read(const QByteArray &bytes)
{
    if (bytes.size() > maximumFileSize)
        return failure(
            u"The file is larger than %1 MB, too large for a subscription list; nothing was imported."_s.arg(
                maximumFileSize / (1024 * 1024)));

    const std::unique_ptr<xmlParserCtxt, ParserContextFree> parser(xmlNewParserCtxt());
    if (!parser)
        return failure(u"Out of memory while reading the file."_s);
    // No entity substitution, no DTD loading, no network: nothing outside the bytes is read.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    const Document document(
        xmlCtxtReadMemory(parser.get(), bytes.constData(), int(bytes.size()), nullptr, nullptr, options));
    if (!document)
        return failure(parseError(parser.get()));
    if (declaresEntities(document.get()))
        return failure(
            u"The file declares XML entities, which a subscription list never needs; nothing was imported."_s);

    const std::unique_ptr<xmlXPathContext, XPathContextFree> xpath(xmlXPathNewContext(document.get()));
    if (!xpath)
        return failure(u"Out of memory while reading the file."_s);
    xpath->node = reinterpret_cast<xmlNode *>(document.get());
    const std::unique_ptr<xmlXPathObject, XPathObjectFree> bodies(
        xmlXPathEvalExpression(BAD_CAST ".//opml/body", xpath.get()));
    if (!bodies || !bodies->nodesetval || bodies->nodesetval->nodeNr == 0)
        return failure(
            u"The file is XML but not an OPML subscription list (it has no opml/body element); nothing was imported."_s);
    const std::unique_ptr<xmlXPathObject, XPathObjectFree> outlines(
        xmlXPathEvalExpression(BAD_CAST ".//opml/body/outline", xpath.get()));
    if (!outlines)
        return failure(u"The outlines of the file cannot be selected; nothing was imported."_s);

    LeafCollector collector;
    const xmlNodeSet *selected = outlines->nodesetval;
    for (int i = 0; selected && i < selected->nodeNr; ++i) {
        xmlNode *outline = selected->nodeTab[i];
        if (outline->type == XML_ELEMENT_NODE && !collector.collect(outline, 1))
            return failure(collector.errorString());
    }
    OpmlReadResult result;
    result.feeds = collector.feeds();
    result.skipped = collector.skipped();
    return result;
}

bool OpmlReader::isSubscribableAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    for (const QLatin1String scheme : {"http://"_L1, "https://"_L1, "feed://"_L1}) {
        if (trimmed.size() > scheme.size() && trimmed.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
