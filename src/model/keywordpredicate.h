#pragma once

#include <QByteArray>
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
    // The same, with the source's names folded by the caller, who may fold them once for many items.
    bool evaluate(const DataItem &item, const QString &foldedSourceNames) const;
    static QString foldedSourceNames(const DataItem &item);

private:
    QStringList m_foldedKeywords;
    QList<QByteArray> m_foldedUtf8Keywords; // the same, for the entries' folded texts
};
