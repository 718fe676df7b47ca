#include "model/source/keywordpredicate.h"

#include "model/entry/textfolding.h"

KeywordPredicate::KeywordPredicate(const QVariantList &keywords)
{
    for (const QVariant &keyword : keywords) {
        m_foldedKeywords.append(TextFolding::fold(keyword.toString()));
        m_foldedUtf8Keywords.append(m_foldedKeywords.last().toUtf8());
    }
}

bool KeywordPredicate::matchesFolded(const QString &foldedText) const
{
    for (const QString &keyword : m_foldedKeywords)
        if (TextFolding::containsFolded(foldedText, keyword))
            return true;
    return false;
}

bool KeywordPredicate::matchesFolded(const QByteArray &foldedUtf8Text) const
{
    for (const QByteArray &keyword : m_foldedUtf8Keywords)
        if (TextFolding::containsFolded(foldedUtf8Text, keyword))
            return true;
    return false;
}
