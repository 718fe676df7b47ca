#include "model/source/keywordmarker.h"

#include "model/entry/textfolding.h"

bool KeywordMarker::marks(const KeywordPredicate &predicate, const QString &name, const QString &customName,
                          const QByteArray &foldedItemText)
{
    return !predicate.isEmpty() &&
           (namesMatch(predicate, name, customName) || predicate.matchesFolded(foldedItemText));
}

// Compared in place: every entry filed asks, and the names seldom change.
bool KeywordMarker::namesMatch(const KeywordPredicate &predicate, const QString &name,
                               const QString &customName)
{
    if (m_known && m_name == name && m_customName == customName && m_predicate == predicate)
        return m_namesMatch;
    m_known = true;
    m_name = name;
    m_customName = customName;
    m_predicate = predicate;
    m_namesMatch = predicate.matchesFolded(TextFolding::fold(name + customName));
    return m_namesMatch;
}
