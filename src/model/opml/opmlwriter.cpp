#include "model/opml/opmlwriter.h"

#include "platform/atomicfile.h"

#include <libxml/tree.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct DocumentFree {
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};

void setAttribute(xmlNode *element, const char *name, const QString &value)
{
    xmlNewProp(element, BAD_CAST name, BAD_CAST value.toUtf8().constData());
}

} // namespace

QByteArray OpmlWriter::document(const QList<OpmlFeed> &feeds)
{
    const std::unique_ptr<xmlDoc, DocumentFree> document(xmlNewDoc(BAD_CAST "1.0"));
    xmlNode *opml = xmlNewDocNode(document.get(), nullptr, BAD_CAST "opml", nullptr);
    xmlDocSetRootElement(document.get(), opml);
    xmlNewProp(opml, BAD_CAST "version", BAD_CAST "1.0");
    xmlNode *head = xmlNewChild(opml, nullptr, BAD_CAST "head", nullptr);
    xmlNewTextChild(head, nullptr, BAD_CAST "title", BAD_CAST "Subscriptions in Vantrel");
    xmlNode *body = xmlNewChild(opml, nullptr, BAD_CAST "body", nullptr);
    for (const OpmlFeed &feed : feeds) {
        xmlNode *outline = xmlNewChild(body, nullptr, BAD_CAST "outline", nullptr);
        const QString name = feed.title.isNull() ? u""_s : feed.title;
        setAttribute(outline, "type", u"rss"_s);
        setAttribute(outline, "text", name);
        setAttribute(outline, "title", name);
        if (!feed.url.isEmpty())
            setAttribute(outline, "xmlUrl", feed.url);
    }

    xmlChar *bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(document.get(), &bytes, &size, "utf-8", 1);
    QByteArray result(reinterpret_cast<const char *>(bytes), size);
    xmlFree(bytes);
    return result;
}

QString OpmlWriter::writeFile(const QList<OpmlFeed> &feeds, const QString &path)
{
    if (const QString failure = AtomicFile::replace(path, {document(feeds)}); !failure.isEmpty())
        return u"Cannot write %1: %2."_s.arg(path, failure);
    return QString();
}
