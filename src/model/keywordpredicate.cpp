#include "model/keywordpredicate.h"

#include "model/textfolding.h"

KeywordPredicate::KeywordPredicate(const QVariantList &keywords)
{
    for (const QVariant &keyword : keywords)
        m_foldedKeywords.append(TextFolding::fold(keyword.toString()));
}

bool KeywordPredicate::matchesFolded(const QString &foldedText) const
{
    for (const QString &keyword : m_foldedKeywords)
        if (TextFolding::containsFolded(foldedText, keyword))
            return true;
    return false;
}
