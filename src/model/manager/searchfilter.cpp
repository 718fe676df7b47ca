#include "model/manager/searchfilter.h"

#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"
#include "model/entry/textfolding.h"
#include "model/source/datasource.h"

SearchFilter::SearchFilter(const QString &text, bool markedOnly) : m_markedOnly(markedOnly)
{
    if (!isBlank(text)) {
        // The separator joins title and description in the folded text; a search never spans it.
        m_foldedText = TextFolding::fold(text).remove(QChar(DataItem::searchSeparator));
        m_foldedUtf8 = m_foldedText.toUtf8();
    }
}

bool SearchFilter::isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

bool SearchFilter::matchesSourceName(const Datasource &source) const
{
    return hasText() &&
           TextFolding::containsFolded(TextFolding::fold(source.name() + source.customName()), m_foldedText);
}

bool SearchFilter::matches(const DataItem &item, bool sourceNameMatches) const
{
    if (m_markedOnly && !item.mark())
        return false;
    if (!hasText() || sourceNameMatches)
        return true;
    return TextFolding::containsFolded(item.foldedSearchText(), m_foldedUtf8);
}

bool SearchFilter::matches(const DataItem &item) const
{
    const bool sourceNameMatches =
        hasText() &&
        TextFolding::containsFolded(TextFolding::fold(item.valueForKey(ItemKey::datasourceName).toString()),
                                    m_foldedText);
    return matches(item, sourceNameMatches);
}
