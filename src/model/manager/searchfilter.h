#pragma once

#include <QByteArray>
#include <QString>

class DataItem;
class Datasource;

// The list filter: search text contained, ignoring case and diacritics, in an entry's title,
// description or feed name, and/or only keyword-marked entries. Immutable, so any thread may use it.
class SearchFilter {
public:
    // A null or blank text means no search text.
    SearchFilter(const QString &text, bool markedOnly);

    bool hasText() const { return !m_foldedText.isEmpty(); }
    bool isMarkedOnly() const { return m_markedOnly; }

    // Whether the source's names contain the text; asked once per source, not per entry.
    bool matchesSourceName(const Datasource &source) const;
    // Whether the entry passes, given the answer of matchesSourceName for its source.
    bool matches(const DataItem &item, bool sourceNameMatches) const;
    // The same, reading the source's names from the entry.
    bool matches(const DataItem &item) const;

    static bool isBlank(const QString &text);

private:
    QString m_foldedText;
    QByteArray m_foldedUtf8; // for the entries' folded texts
    bool m_markedOnly;
};
