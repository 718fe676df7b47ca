#include "model/dataitem.h"

#include "model/datasource.h"
#include "model/itemkeys.h"
#include "model/textfolding.h"
#include "platform/archivereader.h"
#include "platform/archivewriter.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

QVariant DataItem::valueForKey(const QString &key) const
{
    if (key == ItemKey::datasourceName) {
        Datasource *source = datasource();
        return source ? QVariant(source->name() + source->customName()) : QVariant(QString(u""_s));
    }
    if (key == ItemKey::datasource)
        return QVariant::fromValue(datasource());
    return property(key);
}

void DataItem::setObject(const QVariant &value, const QString &key)
{
    std::lock_guard guard(m_lock);
    if (value.isValid())
        m_properties.insert(key, value);
    else
        m_properties.remove(key);
    updateQuickReadsLocked(key);
}

void DataItem::updateQuickReadsLocked(const QString &key)
{
    if (key == ItemKey::sequence) {
        m_sequence.store(m_properties.value(key).toInt(), std::memory_order_relaxed);
    } else if (key == ItemKey::parsedDate) {
        const QDateTime date = m_properties.value(key).toDateTime();
        m_parsedDateMsecs.store(date.isValid() ? date.toMSecsSinceEpoch() : noDate, std::memory_order_relaxed);
    } else if (key == ItemKey::title || key == ItemKey::description) {
        m_folded = false;
        m_foldedSearchText.clear();
    }
}

QString DataItem::foldedSearchText() const
{
    std::lock_guard guard(m_lock);
    if (!m_folded) {
        m_foldedSearchText = TextFolding::fold(m_properties.value(ItemKey::title).toString()) +
                             QChar(searchSeparator) +
                             TextFolding::fold(m_properties.value(ItemKey::description).toString());
        m_folded = true;
    }
    return m_foldedSearchText;
}

QVariantMap DataItem::dictionary() const
{
    QVariantMap copy;
    {
        std::lock_guard guard(m_lock);
        copy = m_properties;
    }
    copy.remove(ItemKey::mark);
    const QString sourceName = sourceDisplayName();
    if (!sourceName.isNull())
        copy.insert(ItemKey::name, sourceName);
    return copy;
}

QString DataItem::title() const
{
    return property(ItemKey::title).toString();
}

QString DataItem::description() const
{
    return property(ItemKey::description).toString();
}

QString DataItem::name() const
{
    const QString sourceName = sourceDisplayName();
    return sourceName.isNull() ? property(ItemKey::name).toString() : sourceName;
}

QDateTime DataItem::originalDate() const
{
    return property(ItemKey::originalDate).toDateTime();
}

QDateTime DataItem::parsedDate() const
{
    return property(ItemKey::parsedDate).toDateTime();
}

bool DataItem::mark() const
{
    return property(ItemKey::mark).toBool();
}

QString DataItem::link() const
{
    const QVariant stored = property(ItemKey::link);
    if (!stored.isValid())
        return QString();
    const QString raw = stored.toString();
    const QString trimmed = raw.trimmed();
    if (QUrl(trimmed, QUrl::StrictMode).isValid())
        return trimmed;
    static const QRegularExpression whiteSpace(u"\\s+"_s);
    return QString(raw).remove(whiteSpace);
}

QString DataItem::previewContent() const
{
    std::lock_guard guard(m_lock);
    if (const auto it = m_properties.constFind(ItemKey::contentEncoded); it != m_properties.cend())
        return it->toString();
    if (const auto it = m_properties.constFind(ItemKey::description); it != m_properties.cend())
        return it->toString();
    return QString();
}

void DataItem::encodeWithCoder(ArchiveWriter &coder) const
{
    QVariantMap properties;
    {
        std::lock_guard guard(m_lock);
        properties = m_properties;
    }
    coder.encodeObject(properties);
    coder.encodeBool(marked());
    coder.encodeBool(shown());
    coder.encodeBool(read());
    coder.encodeBool(hidden());
}

std::shared_ptr<DataItem> DataItem::initWithCoder(ArchiveReader &coder)
{
    const auto properties = coder.decodeObject();
    if (!properties)
        return nullptr;
    if (properties->typeId() != QMetaType::QVariantMap) {
        coder.markDamaged(u"item record does not start with a dictionary"_s);
        return nullptr;
    }
    const auto marked = coder.decodeBool();
    const auto shown = coder.decodeBool();
    const auto read = coder.decodeBool();
    const auto hidden = coder.decodeBool();
    if (!marked || !shown || !read || !hidden)
        return nullptr;
    auto item = std::make_shared<DataItem>();
    item->m_properties = properties->toMap();
    item->m_marked = *marked;
    item->m_shown = *shown;
    item->m_read = *read;
    item->m_hidden = *hidden;
    item->updateQuickReadsLocked(ItemKey::sequence);
    item->updateQuickReadsLocked(ItemKey::parsedDate);
    return item;
}

QVariant DataItem::property(const QString &key) const
{
    std::lock_guard guard(m_lock);
    return m_properties.value(key);
}

// The source's custom name, else its name; a null string without a source or without either name.
QString DataItem::sourceDisplayName() const
{
    Datasource *source = datasource();
    if (!source)
        return QString();
    const QString custom = source->customName();
    if (!custom.isNull())
        return custom;
    const QString name = source->name();
    return name.isEmpty() ? QString() : name;
}
