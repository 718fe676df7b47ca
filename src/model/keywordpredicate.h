#pragma once

#include <QStringList>
#include <QVariantList>

class DataItem;

// "An item matches when one keyword occurs, ignoring case and diacritics, in its title, its
// description or its source's names." Immutable once built, so any thread may evaluate it.
class KeywordPredicate {
public:
    KeywordPredicate() = default;
    explicit KeywordPredicate(const QVariantList &keywords);

    bool isEmpty() const { return m_foldedKeywords.isEmpty(); }
    bool evaluate(const DataItem &item) const;

private:
    QStringList m_foldedKeywords;
};
