#pragma once

#include "model/parse/feedparserhandler.h"

#include <QHash>
#include <QList>
#include <QString>

// One feed entry as parsed: element text by qualified name ("title", "dc:date", ...), plus
// "href" for the link of an Atom entry.
using FeedEntry = QHash<QString, QString>;

// A handler that gathers the entries of an RSS 2.0 or Atom document, the feed's title and the
// channel image address, filing text the way the feed sources do: text belongs to the most
// recently started element of the entry, so the whitespace after a child's end joins that child.
// Used by tests and benchmarks to see what a parse yields; the feed sources build their items
// themselves.
class FeedEntryCollector : public FeedParserHandler {
public:
    void startElement(const QStringList &path, const FeedAttributes &attributes) override;
    void characters(const QStringList &path, const QString &text) override;
    void endElement(const QStringList &path) override;

    const QList<FeedEntry> &entries() const { return m_entries; }
    const QString &title() const { return m_title; }
    const QString &imageUrl() const { return m_imageUrl; }

private:
    QList<FeedEntry> m_entries;
    FeedEntry m_current;
    bool m_inEntry = false;
    QString m_currentElement;
    QString m_title;
    QString m_imageUrl;
};
