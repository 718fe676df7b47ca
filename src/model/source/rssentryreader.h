#pragma once

#include "model/entry/dataitem.h"
#include "model/parse/elementkeycache.h"
#include "model/parse/feedparserhandler.h"
#include "model/source/duplicateindex.h"

#include <QString>
#include <QUrl>
#include <utility>
#include <vector>

// Reads the entries of one RSS 2.0 or Atom document from the parser's events, Atom entries given
// the RSS keys, each with its known-entry key. The feed's own title and image address go to the
// listener. Belongs to the refresh under way.
class RSSEntryReader : public FeedParserHandler {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // The feed's title, once its element has ended.
        virtual void feedTitleRead(const QString &title) = 0;
        // The address of the feed's image; absolute and valid.
        virtual void feedImageAddressRead(const QUrl &address) = 0;
    };

    struct ParsedEntry {
        DataItemPtr item;
        DuplicateIndex::Key key;
    };

    explicit RSSEntryReader(Listener &listener) : m_listener(listener) {}

    // A document contributes at most this many entries, the first ones in document order.
    static constexpr qsizetype maxEntriesPerDocument = 10000;

    // Where the document was fetched from, against which its relative Atom links are read.
    void setDocumentAddress(const QUrl &address) { m_documentAddress = address; }
    // The entries read, in document order; the reader keeps none.
    std::vector<ParsedEntry> takeEntries() { return std::move(m_parsedEntries); }
    // How many entries the document listed, those left out included.
    qsizetype entriesInDocument() const { return m_entriesInDocument; }

    // New item with the RSS keys of an Atom entry.
    static DataItemPtr convertAtomToRSS(const DataItem &entry);

    void startElement(const QStringList &path, const FeedAttributes &attributes) override;
    void characters(const QStringList &path, const QString &text) override;
    void endElement(const QStringList &path) override;

private:
    void readAtomLink(const FeedAttributes &attributes);
    QUrl baseAddress() const;
    Listener &m_listener;
    qsizetype m_entryDepth = 0; // the path length of the entry being read; 0 outside entries
    bool m_atomEntry = false;
    bool m_hasAlternateLink = false; // the Atom entry being read has one
    QUrl m_documentAddress;
    std::vector<std::pair<qsizetype, QUrl>> m_bases; // each xml:base in force, by its element's depth
    bool m_entryLeftOut = false;                     // the entry being read is past maxEntriesPerDocument
    qsizetype m_entriesInDocument = 0;
    DataItem::Draft m_entry;
    PropertyKey m_currentElement;
    ElementKeyCache m_elementKeys;
    QString m_title;
    std::vector<ParsedEntry> m_parsedEntries;
};
