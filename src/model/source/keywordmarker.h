#pragma once

#include "model/source/keywordpredicate.h"

#include <QByteArray>
#include <QString>

// Decides a source's keyword marks: an entry is marked when a keyword occurs in its title or
// description, or in the names of the source holding it. The names are the same for all the
// source's entries, so whether they match is worked out again only when the names or the keywords
// have changed. Not locked: its owner guards it.
class KeywordMarker {
public:
    // `foldedItemText` is the entry's DataItem::foldedSearchText().
    bool marks(const KeywordPredicate &predicate, const QString &name, const QString &customName,
               const QByteArray &foldedItemText);

private:
    bool namesMatch(const KeywordPredicate &predicate, const QString &name, const QString &customName);

    bool m_known = false;
    QString m_name;
    QString m_customName;
    KeywordPredicate m_predicate;
    bool m_namesMatch = false;
};
