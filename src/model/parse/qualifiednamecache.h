#pragma once

// dict.h uses xmlChar without declaring it.
#include <libxml/xmlstring.h>

#include <libxml/dict.h>

#include <QString>

#include <vector>

// The qualified names ("prefix:local" or "local") of one parse's elements, found by libxml2's
// pointers to the local name and prefix in an open-addressed table: a feed uses a few dozen names
// thousands of times. libxml2 takes the names from the parser's dictionary, which keeps them until
// the parser is freed; only such names are kept, so that a pointer freed and reused for another
// name can never find a stale entry.
//
// One cache serves one parser context, on its thread.
class QualifiedNameCache {
public:
    QualifiedNameCache();

    // The name; valid until the next call.
    const QString &get(const xmlChar *localName, const xmlChar *prefix, xmlDictPtr dictionary);

private:
    struct Slot {
        const xmlChar *localName = nullptr;
        const xmlChar *prefix = nullptr;
        QString name;
    };

    size_t slotOf(const xmlChar *localName, const xmlChar *prefix) const;
    const QString &add(size_t slot, const xmlChar *localName, const xmlChar *prefix, xmlDictPtr dictionary);
    void grow();

    std::vector<Slot> m_slots; // a power of two, at most half used
    size_t m_used = 0;
    QString m_uncached;
};
