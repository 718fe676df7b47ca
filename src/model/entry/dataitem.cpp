#include "model/entry/dataitem.h"

#include "model/entry/dataitemrecord.h"
#include "model/entry/itemkeys.h"
#include "model/entry/textfolding.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Keys are a few characters long: compared here, lengths first, they cost less than a call into
// Qt's general string comparison.
bool sameKey(QStringView a, QStringView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool sameKey(QStringView a, QLatin1StringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].unicode() != static_cast<unsigned char>(b[i].toLatin1()))
            return false;
    return true;
}

bool sameKey(QLatin1StringView a, QLatin1StringView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// A property's key against the key asked for: interned keys compare by pointer, names by text.
bool sameKey(const PropertyKey &a, const PropertyKey &b)
{
    return a == b;
}

bool sameKey(const PropertyKey &a, QStringView b)
{
    return sameKey(a.name(), b);
}

bool sameKey(const PropertyKey &a, QLatin1StringView b)
{
    return sameKey(a.name(), b);
}

// The program's own keys, made once, so that storing one needs no look-up in the key table.
PropertyKey keyFor(QLatin1StringView key)
{
    if (const PropertyKey *known = ItemPropertyKeys::get().find(key))
        return *known;
    return PropertyKey(key);
}

PropertyKey keyFor(QStringView key)
{
    return PropertyKey(key);
}

const PropertyKey &keyFor(const PropertyKey &key)
{
    return key;
}

} // namespace

template <typename Key> QVariant DataItem::virtualOrProperty(const Key &key) const
{
    if (sameKey(key, ItemKey::datasourceName)) {
        const std::shared_ptr<ItemSource> source = datasource();
        return source ? QVariant(source->name() + source->customName()) : QVariant(QString(u""_s));
    }
    if (sameKey(key, ItemKey::datasource)) {
        std::shared_ptr<ItemSource> source = datasource();
        return source ? QVariant::fromValue(std::move(source)) : QVariant();
    }
    return property(key);
}

QVariant DataItem::valueForKey(const QString &key) const
{
    return virtualOrProperty(QStringView(key));
}

QVariant DataItem::valueForKey(QLatin1StringView key) const
{
    return virtualOrProperty(key);
}

QVariant DataItem::valueForKey(const PropertyKey &key) const
{
    return virtualOrProperty(key);
}

void DataItem::setObject(const QVariant &value, const QString &key)
{
    store(value, key);
}

void DataItem::setObject(const QVariant &value, QLatin1StringView key)
{
    store(value, key);
}

void DataItem::setObject(const QVariant &value, const PropertyKey &key)
{
    store(value, key);
}

void DataItem::appendText(const QString &text, const QString &key)
{
    std::weak_ptr<ItemSource> source;
    {
        std::lock_guard guard(m_lock);
        const auto found = findPropertyLocked(QStringView(key));
        if (found != m_properties.end())
            found->value = PropertyValue(QString(found->value.toVariant(m_texts).toString() + text));
        else
            addPropertyLocked(PropertyKey(QStringView(key)), PropertyValue(text));
        if (updateQuickReadsLocked(QStringView(key), findLocked(QStringView(key))))
            source = m_source;
    }
    noteOrderChange(source);
}

void DataItem::setObject(const QVariant &value, std::initializer_list<const PropertyKey *> keys)
{
    std::weak_ptr<ItemSource> source;
    {
        std::lock_guard guard(m_lock);
        bool orderChanged = false;
        for (const PropertyKey *key : keys)
            orderChanged = storeLocked(value, *key) || orderChanged;
        if (orderChanged)
            source = m_source;
    }
    noteOrderChange(source);
}

template <typename Key> void DataItem::store(const QVariant &value, const Key &key)
{
    std::weak_ptr<ItemSource> source;
    {
        std::lock_guard guard(m_lock);
        if (storeLocked(value, key))
            source = m_source;
    }
    noteOrderChange(source);
}

// The source is told outside the item's lock: keeping it alive for that moment may make this the
// last reference, whose release ends the source.
void DataItem::noteOrderChange(const std::weak_ptr<ItemSource> &source)
{
    if (const std::shared_ptr<ItemSource> holder = source.lock())
        holder->m_entryOrderChanges.fetch_add(1, std::memory_order_acq_rel);
}

template <typename Key> bool DataItem::storeLocked(const QVariant &value, const Key &key)
{
    const auto found = findPropertyLocked(key);
    if (found != m_properties.end()) {
        if (value.isValid())
            found->value = PropertyValue(value);
        else
            m_properties.erase(found);
    } else if (value.isValid()) {
        addPropertyLocked(keyFor(key), PropertyValue(value));
    }
    return updateQuickReadsLocked(key, value);
}

void DataItem::addPropertyLocked(PropertyKey key, PropertyValue &&value)
{
    if (m_properties.size() == m_properties.capacity())
        m_properties.reserve(m_properties.size() + propertyGrowth);
    m_properties.emplace_back(std::move(key), std::move(value));
}

template <typename Key> std::vector<DataItem::Property>::iterator DataItem::findPropertyLocked(const Key &key)
{
    return std::find_if(m_properties.begin(), m_properties.end(),
                        [&key](const Property &property) { return sameKey(property.key, key); });
}

template <typename Key> QVariant DataItem::findLocked(const Key &key) const
{
    for (const Property &property : m_properties)
        if (sameKey(property.key, key))
            return property.value.toVariant(m_texts);
    return QVariant();
}

template <typename Key> QVariant DataItem::property(const Key &key) const
{
    std::lock_guard guard(m_lock);
    return findLocked(key);
}

// True when the key is one of those the entries are ordered by.
template <typename Key> bool DataItem::updateQuickReadsLocked(const Key &key, const QVariant &value)
{
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    if (sameKey(keys.sequence, key)) {
        m_mergeReads.sequence.store(value.toInt(), std::memory_order_relaxed);
        return true;
    }
    if (sameKey(keys.parsedDate, key)) {
        const QDateTime date = value.toDateTime();
        m_mergeReads.parsedDateMsecs.store(date.isValid() ? date.toMSecsSinceEpoch() : noDate,
                                           std::memory_order_relaxed);
        return true;
    }
    if (sameKey(keys.title, key) || sameKey(keys.description, key)) {
        m_folded = false;
        m_foldedSearchText.clear();
    }
    return false;
}

void DataItem::updateQuickReadsFromListLocked()
{
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    updateQuickReadsLocked(keys.sequence, findLocked(keys.sequence));
    updateQuickReadsLocked(keys.parsedDate, findLocked(keys.parsedDate));
}

const DataItem::Property *DataItem::findStoredLocked(const PropertyKey &key) const
{
    for (const Property &property : m_properties)
        if (property.key == key)
            return &property;
    return nullptr;
}

QByteArray DataItem::foldedSearchText() const
{
    std::lock_guard guard(m_lock);
    if (!m_folded) {
        const ItemPropertyKeys &keys = ItemPropertyKeys::get();
        m_foldedSearchText =
            TextFolding::foldJoined(findLocked(keys.title).toString(), QChar(searchSeparator),
                                    findLocked(keys.description).toString());
        m_folded = true;
    }
    return m_foldedSearchText;
}

QVariantMap DataItem::propertiesLocked() const
{
    QVariantMap map;
    for (const Property &property : m_properties)
        map.insert(property.key.name(), property.value.toVariant(m_texts));
    return map;
}

QVariantMap DataItem::dictionary() const
{
    QVariantMap copy;
    {
        std::lock_guard guard(m_lock);
        copy = propertiesLocked();
    }
    copy.remove(ItemKey::mark);
    const QString sourceName = sourceDisplayName();
    if (!sourceName.isNull())
        copy.insert(ItemKey::name, sourceName);
    return copy;
}

QString DataItem::title() const
{
    return property(ItemPropertyKeys::get().title).toString();
}

QString DataItem::description() const
{
    return property(ItemPropertyKeys::get().description).toString();
}

QString DataItem::name() const
{
    const QString sourceName = sourceDisplayName();
    return sourceName.isNull() ? property(ItemKey::name).toString() : sourceName;
}

QDateTime DataItem::originalDate() const
{
    return property(ItemPropertyKeys::get().originalDate).toDateTime();
}

QDateTime DataItem::parsedDate() const
{
    return property(ItemPropertyKeys::get().parsedDate).toDateTime();
}

bool DataItem::mark() const
{
    return property(ItemPropertyKeys::get().mark).toBool();
}

QString DataItem::link() const
{
    const QVariant stored = property(ItemPropertyKeys::get().link);
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
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    if (const QVariant content = findLocked(keys.contentEncoded); content.isValid())
        return content.toString();
    return findLocked(keys.description).toString();
}

void DataItem::encodeWithCoder(ArchiveWriter &coder) const
{
    DataItemRecord::encode(*this, coder);
}

std::shared_ptr<DataItem> DataItem::initWithCoder(ArchiveReader &coder)
{
    return DataItemRecord::decode(coder);
}

std::shared_ptr<ItemSource> DataItem::datasource() const
{
    std::lock_guard guard(m_lock);
    return m_source.lock();
}

void DataItem::setDatasource(std::weak_ptr<ItemSource> source)
{
    std::lock_guard guard(m_lock);
    m_source = std::move(source);
}

// The source's custom name, else its name; a null string without a source or without either name.
QString DataItem::sourceDisplayName() const
{
    const std::shared_ptr<ItemSource> source = datasource();
    if (!source)
        return QString();
    const QString custom = source->customName();
    if (!custom.isNull())
        return custom;
    const QString name = source->name();
    return name.isEmpty() ? QString() : name;
}
