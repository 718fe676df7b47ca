#include "model/keywordpredicate.h"

#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "model/textfolding.h"

KeywordPredicate::KeywordPredicate(const QVariantList &keywords)
{
    for (const QVariant &keyword : keywords) {
        m_foldedKeywords.append(TextFolding::fold(keyword.toString()));
        m_foldedUtf8Keywords.append(m_foldedKeywords.last().toUtf8());
    }
}

// The entry's title and description are folded once when it is filed; only the source's names
// are folded here, since they can change under the entry.
bool KeywordPredicate::evaluate(const DataItem &item) const
{
    return !isEmpty() && evaluate(item, foldedSourceNames(item));
}

QString KeywordPredicate::foldedSourceNames(const DataItem &item)
{
    return TextFolding::fold(item.valueForKey(ItemKey::datasourceName).toString());
}

bool KeywordPredicate::evaluate(const DataItem &item, const QString &sourceNames) const
{
    if (isEmpty())
        return false;
    const QByteArray text = item.foldedSearchText();
    for (qsizetype i = 0; i < m_foldedKeywords.size(); ++i)
        if (TextFolding::containsFolded(text, m_foldedUtf8Keywords.at(i)) ||
            TextFolding::containsFolded(sourceNames, m_foldedKeywords.at(i)))
            return true;
    return false;
}
