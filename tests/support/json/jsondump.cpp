#include "jsondump.h"

#include "support/json/decimalnumber.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString dumpJSONString(const QString &string)
{
    QString out = u"\""_s;
    for (qsizetype i = 0; i < string.size(); ++i) {
        const QChar c = string.at(i);
        const bool pairedSurrogate =
            (c.isHighSurrogate() && i + 1 < string.size() && string.at(i + 1).isLowSurrogate()) ||
            (c.isLowSurrogate() && i > 0 && string.at(i - 1).isHighSurrogate());
        if (c == u'"')
            out += u"\\\""_s;
        else if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\r')
            out += u"\\r"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c.unicode() < 0x20 || (c.isSurrogate() && !pairedSurrogate))
            out += u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u"\""_s;
}

QString dumpJSONValue(const QVariant &value)
{
    if (!value.isValid())
        return u"none"_s;
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QStringList members;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            members.append(dumpJSONString(it.key()) + u": "_s + dumpJSONValue(it.value()));
        return u"{"_s + members.join(u", "_s) + u"}"_s;
    }
    case QMetaType::QVariantList: {
        QStringList elements;
        for (const QVariant &element : value.toList())
            elements.append(dumpJSONValue(element));
        return u"["_s + elements.join(u", "_s) + u"]"_s;
    }
    case QMetaType::QString:
        return dumpJSONString(value.toString());
    case QMetaType::ULongLong:
        return u"u:"_s + QString::number(value.toULongLong());
    case QMetaType::LongLong:
        return u"i:"_s + QString::number(value.toLongLong());
    case QMetaType::Bool:
        return value.toBool() ? u"true"_s : u"false"_s;
    case QMetaType::Nullptr:
        return u"null"_s;
    default:
        if (value.metaType() == QMetaType::fromType<DecimalNumber>())
            return u"d:"_s + value.value<DecimalNumber>().toString();
        return u"<"_s + QString::fromLatin1(value.typeName()) + u">"_s;
    }
}
