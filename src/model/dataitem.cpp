#include "model/dataitem.h"

#include "model/datasource.h"
#include "model/itemkeys.h"
#include "model/textfolding.h"
#include "platform/archivereader.h"
#include "platform/archivewriter.h"

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

// The program's own keys as shared strings, so that storing one allocates nothing.
QString keyString(QLatin1StringView key)
{
    static const QString known[] = {
        ItemKey::title,   ItemKey::link,     ItemKey::description,  ItemKey::contentEncoded, ItemKey::guid,
        ItemKey::pubDate, ItemKey::pubdate,  ItemKey::published,    ItemKey::dcDate,         ItemKey::href,
        ItemKey::originalDate, ItemKey::parsedDate, ItemKey::sequence, ItemKey::mark,        ItemKey::name,
    };
    for (const QString &candidate : known)
        if (sameKey(candidate, key))
            return candidate;
    return QString(key);
}

QString keyString(const QString &key)
{
    return key;
}

} // namespace

template <typename Key>
QVariant DataItem::virtualOrProperty(Key key) const
{
    if (sameKey(key, ItemKey::datasourceName)) {
        Datasource *source = datasource();
        return source ? QVariant(source->name() + source->customName()) : QVariant(QString(u""_s));
    }
    if (sameKey(key, ItemKey::datasource))
        return QVariant::fromValue(datasource());
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

void DataItem::setObject(const QVariant &value, const QString &key)
{
    store(value, key);
}

void DataItem::setObject(const QVariant &value, QLatin1StringView key)
{
    store(value, key);
}

void DataItem::appendText(const QString &text, const QString &key)
{
    std::lock_guard guard(m_lock);
    const auto found = findPropertyLocked(QStringView(key));
    if (found != m_properties.end())
        found->value = QString(found->value.toString() + text);
    else
        addPropertyLocked(key, text);
    updateQuickReadsLocked(QStringView(key));
}

template <typename Key>
void DataItem::store(const QVariant &value, Key key)
{
    std::lock_guard guard(m_lock);
    const auto found = findPropertyLocked(key);
    if (found != m_properties.end()) {
        if (value.isValid())
            found->value = value;
        else
            m_properties.erase(found);
    } else if (value.isValid()) {
        addPropertyLocked(keyString(key), value);
    }
    updateQuickReadsLocked(key);
}

void DataItem::addPropertyLocked(QString key, QVariant value)
{
    if (m_properties.empty())
        m_properties.reserve(typicalPropertyCount);
    m_properties.push_back({std::move(key), std::move(value)});
}

template <typename Key>
std::vector<DataItem::Property>::iterator DataItem::findPropertyLocked(Key key)
{
    return std::find_if(m_properties.begin(), m_properties.end(),
                        [&key](const Property &property) { return sameKey(property.key, key); });
}

template <typename Key>
const QVariant *DataItem::findLocked(Key key) const
{
    for (const Property &property : m_properties)
        if (sameKey(property.key, key))
            return &property.value;
    return nullptr;
}

template <typename Key>
QVariant DataItem::property(Key key) const
{
    std::lock_guard guard(m_lock);
    const QVariant *value = findLocked(key);
    return value ? *value : QVariant();
}

template <typename Key>
void DataItem::updateQuickReadsLocked(Key key)
{
    if (sameKey(key, ItemKey::sequence)) {
        const QVariant *value = findLocked(ItemKey::sequence);
        m_sequence.store(value ? value->toInt() : 0, std::memory_order_relaxed);
    } else if (sameKey(key, ItemKey::parsedDate)) {
        const QVariant *value = findLocked(ItemKey::parsedDate);
        const QDateTime date = value ? value->toDateTime() : QDateTime();
        m_parsedDateMsecs.store(date.isValid() ? date.toMSecsSinceEpoch() : noDate, std::memory_order_relaxed);
    } else if (sameKey(key, ItemKey::title) || sameKey(key, ItemKey::description)) {
        m_folded = false;
        m_foldedSearchText.clear();
    }
}

QString DataItem::foldedSearchText() const
{
    std::lock_guard guard(m_lock);
    if (!m_folded) {
        const QVariant *title = findLocked(ItemKey::title);
        const QVariant *description = findLocked(ItemKey::description);
        m_foldedSearchText = TextFolding::foldJoined(title ? title->toString() : QString(), QChar(searchSeparator),
                                                     description ? description->toString() : QString());
        m_folded = true;
    }
    return m_foldedSearchText;
}

QVariantMap DataItem::propertiesLocked() const
{
    QVariantMap map;
    for (const Property &property : m_properties)
        map.insert(property.key, property.value);
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
    if (const QVariant *content = findLocked(ItemKey::contentEncoded))
        return content->toString();
    if (const QVariant *description = findLocked(ItemKey::description))
        return description->toString();
    return QString();
}

void DataItem::encodeWithCoder(ArchiveWriter &coder) const
{
    QVariantMap properties;
    {
        std::lock_guard guard(m_lock);
        properties = propertiesLocked();
    }
    coder.encodeObject(properties);
    coder.encodeBool(marked());
    coder.encodeBool(shown());
    coder.encodeBool(read());
    coder.encodeBool(hidden());
}

std::shared_ptr<DataItem> DataItem::initWithCoder(ArchiveReader &coder)
{
    auto item = std::make_shared<DataItem>();
    const bool intact = coder.decodeDictionary(
        [&item](QString &&key, QVariant &&value) { item->addDecodedProperty(std::move(key), std::move(value)); });
    if (!intact)
        return nullptr;
    const auto marked = coder.decodeBool();
    const auto shown = coder.decodeBool();
    const auto read = coder.decodeBool();
    const auto hidden = coder.decodeBool();
    if (!marked || !shown || !read || !hidden)
        return nullptr;
    item->m_marked = *marked;
    item->m_shown = *shown;
    item->m_read = *read;
    item->m_hidden = *hidden;
    item->updateQuickReadsLocked(ItemKey::sequence);
    item->updateQuickReadsLocked(ItemKey::parsedDate);
    return item;
}

// Writers store the keys in ascending order, so each goes at the end; a key out of order (a
// file written otherwise) replaces an earlier entry of the same key, as a dictionary would.
void DataItem::addDecodedProperty(QString &&key, QVariant &&value)
{
    if (!m_properties.empty() && !(m_properties.back().key < key)) {
        if (const auto found = findPropertyLocked(QStringView(key)); found != m_properties.end()) {
            found->value = std::move(value);
            return;
        }
    }
    addPropertyLocked(std::move(key), std::move(value));
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
