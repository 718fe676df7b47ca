#include "model/entry/textcaps.h"

#include "model/entry/itemkeys.h"

using namespace Qt::StringLiterals;

qsizetype TextCaps::forKey(const PropertyKey &key)
{
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    static const PropertyKey atomContent(u"content"_s);
    static const PropertyKey atomSummary(u"summary"_s);
    if (key == keys.title)
        return title;
    if (key == keys.description || key == keys.contentEncoded || key == atomContent || key == atomSummary)
        return body;
    return other;
}

qsizetype TextCaps::fittingLength(QStringView text, qsizetype room)
{
    if (text.size() <= room)
        return text.size();
    if (room <= 0)
        return 0;
    return text[room - 1].isHighSurrogate() ? room - 1 : room;
}
