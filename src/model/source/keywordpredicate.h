#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

// "An item matches when one keyword occurs, ignoring case and diacritics, in its title, its
// description or its source's names." Immutable once built, so any thread may evaluate it.
//
// The texts are folded by the caller (see TextFolding): an item's title and description once
// when it is filed (DataItem::foldedSearchText), the source's names once for all its items.
class KeywordPredicate {
public:
    KeywordPredicate() = default;
    explicit KeywordPredicate(const QVariantList &keywords);

    bool isEmpty() const { return m_foldedKeywords.isEmpty(); }
    // Whether one keyword occurs in the folded text, UTF-16 or UTF-8.
    bool matchesFolded(const QString &foldedText) const;
    bool matchesFolded(const QByteArray &foldedUtf8Text) const;

    // Same keywords: predicates copied from one another compare without comparing the keywords.
    bool operator==(const KeywordPredicate &other) const
    {
        return m_foldedKeywords == other.m_foldedKeywords;
    }

private:
    QStringList m_foldedKeywords;
    QList<QByteArray> m_foldedUtf8Keywords; // the same, for the entries' folded texts
};
