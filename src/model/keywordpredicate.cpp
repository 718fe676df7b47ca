#include "model/keywordpredicate.h"

#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "model/textfolding.h"

KeywordPredicate::KeywordPredicate(const QVariantList &keywords)
{
    for (const QVariant &keyword : keywords)
        m_foldedKeywords.append(TextFolding::fold(keyword.toString()));
}

bool KeywordPredicate::evaluate(const DataItem &item) const
{
    if (isEmpty())
        return false;
    const QString fields[] = {
        TextFolding::fold(item.valueForKey(ItemKey::title).toString()),
        TextFolding::fold(item.valueForKey(ItemKey::description).toString()),
        TextFolding::fold(item.valueForKey(ItemKey::datasourceName).toString()),
    };
    for (const QString &keyword : m_foldedKeywords)
        for (const QString &field : fields)
            if (TextFolding::containsFolded(field, keyword))
                return true;
    return false;
}
