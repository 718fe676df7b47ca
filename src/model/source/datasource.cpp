#include "model/source/datasource.h"

#include "model/entry/itemkeys.h"
#include "model/source/datasourcedelegate.h"
#include "model/source/itemfile.h"
#include "model/source/itemfilereadahead.h"
#include "model/source/notificationcenter.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "platform/clock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "support/stringadditions.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

const QString uuidKey = u"uuid"_s;
const QString enabledKey = u"enabled"_s;
const QString nameKey = u"name"_s;
const QString customNameKey = u"customName"_s;
const QString imageKey = u"image"_s;

QString nullIfEmpty(const QString &string)
{
    return string.isEmpty() ? QString() : string;
}

} // namespace

Datasource::Datasource(const std::optional<QVariantMap> &configuration, UserDefaults &defaults,
                       const Clock &clock, RefreshEnvironment &environment, QObject *parent)
    : QObject(parent), m_defaults(defaults), m_clock(clock), m_environment(environment),
      m_uuid(configuration ? configuration->value(uuidKey).toString() : StringAdditions::uuid()),
      m_settings(defaults, m_uuid)
{
    if (configuration) {
        m_enabled = configuration->value(enabledKey, true).toBool();
    } else {
        m_enabled = true;
        setUserDefaults(QVariant(), QString());
    }
    m_keywordsObservation = m_defaults.observe(
        SettingsKey::keywords, this, [this](const QVariant &keywords) { keywordsDidChange(keywords); });
    // The configuration is this feed's element of "feeds": reading it directly spares a search of
    // the whole array per setting, which made creating the sources quadratic in the feeds.
    loadGeneralDefaults(configuration ? *configuration : m_settings.entry());
}

// Entries refer to the source weakly: those that outlive it find it gone by themselves.
Datasource::~Datasource()
{
    m_defaults.removeObservation(m_keywordsObservation);
}

std::shared_ptr<Datasource> Datasource::of(const DataItem &item)
{
    return std::dynamic_pointer_cast<Datasource>(item.datasource());
}

// ---- Settings

void Datasource::loadGeneralDefaults()
{
    loadGeneralDefaults(m_settings.entry());
}

void Datasource::loadGeneralDefaults(const QVariantMap &entry)
{
    {
        std::lock_guard guard(m_fieldLock);
        m_ageLimit = m_settings.value(entry, SettingsKey::ageLimit).toInt();
        m_limit = m_settings.value(entry, SettingsKey::limit).toInt();
        m_customName = nullIfEmpty(m_settings.value(entry, customNameKey).toString());
        m_name = m_settings.value(entry, nameKey).toString();
        m_fontColor = m_settings.value(entry, SettingsKey::fontColor).value<QColor>();
        m_backGroundColor = m_settings.value(entry, SettingsKey::backgroundColor).value<QColor>();
    }
    {
        std::lock_guard guard(m_lock);
        m_image = m_settings.value(entry, imageKey).value<QImage>();
    }
    m_itemCount = -1;
    reportItemsDidChange();
}

QVariant Datasource::getUserDefaultsForKey(const QString &key, bool returnNil) const
{
    return m_settings.value(m_settings.entry(), key, returnNil);
}

void Datasource::setUserDefaults(const QVariant &value, const QString &key)
{
    if (!m_settings.write(value, key, m_enabled.load()))
        return;
    loadGeneralDefaults();
    postConfigurationDidChange();
}

QString Datasource::name() const
{
    std::lock_guard guard(m_fieldLock);
    return m_name;
}

void Datasource::setName(const QString &name)
{
    const QString trimmed = name.trimmed();
    QString previous;
    {
        std::lock_guard guard(m_fieldLock);
        previous = m_name;
        m_name = trimmed;
    }
    setUserDefaults(trimmed, nameKey);
    if (previous != trimmed)
        QMetaObject::invokeMethod(this, &Datasource::_updateMark, Qt::QueuedConnection);
}

QString Datasource::customName() const
{
    std::lock_guard guard(m_fieldLock);
    return m_customName;
}

void Datasource::setCustomName(const QString &customName)
{
    const QString value = nullIfEmpty(customName);
    QString previous;
    {
        std::lock_guard guard(m_fieldLock);
        previous = m_customName;
        m_customName = value;
    }
    setUserDefaults(value.isNull() ? QVariant() : QVariant(value), customNameKey);
    reportItemsDidChange();
    if (previous != value)
        QMetaObject::invokeMethod(this, &Datasource::_updateMark, Qt::QueuedConnection);
}

QColor Datasource::fontColor() const
{
    std::lock_guard guard(m_fieldLock);
    return m_fontColor;
}

QColor Datasource::backGroundColor() const
{
    std::lock_guard guard(m_fieldLock);
    return m_backGroundColor;
}

QImage Datasource::image() const
{
    std::lock_guard guard(m_lock);
    return m_image;
}

// The settings are written after the source lock is released: writing reports to the delegate.
void Datasource::setImage(const QImage &image)
{
    {
        std::lock_guard guard(m_lock);
        if (image == m_image)
            return;
        m_image = image;
    }
    setUserDefaults(image.isNull() ? QVariant() : QVariant(image), imageKey);
}

void Datasource::setEnabled(bool enabled)
{
    m_enabled = enabled;
    reportItemsDidChange();
    setUserDefaults(enabled, enabledKey);
}

int Datasource::refreshRate() const
{
    return std::max(1, getUserDefaultsForKey(SettingsKey::refreshRate).toInt());
}

// ---- Items

int Datasource::numberOfItems()
{
    if (!isEnabled())
        return 0;
    const int cached = m_itemCount.load();
    return cached >= 0 ? cached : countVisibleItems();
}

// The leading run of items younger than the age limit, cut at the limit.
int Datasource::countVisibleItems()
{
    int ageLimit, limit;
    {
        std::lock_guard guard(m_fieldLock);
        ageLimit = m_ageLimit;
        limit = m_limit;
    }
    std::lock_guard guard(m_lock);
    const int count = m_entries.countShown(ageLimit, limit, m_clock, m_uuid);
    m_itemCount = count;
    return count;
}

DataItemPtr Datasource::objectAtIndex(int index) const
{
    std::lock_guard guard(m_lock);
    return m_entries.at(index);
}

QVariant Datasource::objectValueForKeyAtIndex(const QString &key, int index) const
{
    const DataItemPtr item = objectAtIndex(index);
    return item ? item->objectForKey(key) : QVariant();
}

QList<DataItemPtr> Datasource::items() const
{
    std::lock_guard guard(m_lock);
    return m_entries.list();
}

void Datasource::addItem(const DataItemPtr &item)
{
    Q_ASSERT(!weak_from_this().expired());
    const KeywordPredicate predicate = keywordPredicate();
    // Folded once here, on the refresh thread, instead of at a search.
    const QByteArray foldedText = item->foldedSearchText();
    {
        std::lock_guard guard(m_lock);
        m_itemCount = -1;
        if (!predicate.isEmpty())
            item->setObject(keywordMarkLocked(predicate, foldedText), ItemPropertyKeys::get().mark);
        const bool inserted = insertMode();
        if (inserted) {
            _setCurrentDateIfNeeded(*item);
            m_entries.insert(0, item);
        } else {
            fileInOrderLocked(item);
        }
        // Bound once filed, so that the filing's own changes of its keys are not counted as others'.
        item->setDatasource(weak_from_this());
        // Announced before the lock is released, so that whoever reads the items under it finds
        // an arrival already announced: a merge leaves it out of the list while it waits.
        if (DatasourceDelegate *owner = delegate(); owner && inserted)
            owner->newItemInDatasource(item, this);
    }
    reportItemsDidChange();
}

// The names are read under the field lock, which is a leaf, so the marker runs inside it.
bool Datasource::keywordMarkLocked(const KeywordPredicate &predicate, const QByteArray &foldedItemText)
{
    if (predicate.isEmpty())
        return false;
    std::lock_guard guard(m_fieldLock);
    return m_keywordMarker.marks(predicate, m_name, m_customName, foldedItemText);
}

void Datasource::addItemToArray(const DataItemPtr &item, QList<DataItemPtr> &array)
{
    m_itemCount = -1;
    const int sequence = item->sequence();
    const qint64 date = item->parsedDateMsecs();
    qsizetype position = array.size();
    int inherited = 0;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const DataItem &element = *array.at(i);
        const int elementSequence = element.sequence();
        if (elementSequence != 0 && elementSequence < sequence) {
            position = i;
            break;
        }
        const qint64 elementDate = element.parsedDateMsecs();
        if (elementDate != DataItem::noDate && date != DataItem::noDate && elementDate < date) {
            position = i;
            inherited = elementSequence;
            break;
        }
    }
    takePlace(*item, inherited);
    array.insert(position, item);
}

// The same order as addItemToArray, found without walking the list.
void Datasource::fileInOrderLocked(const DataItemPtr &item)
{
    const FilingIndex::Place place = m_entries.placeOf(*item, entryOrderChanges());
    takePlace(*item, place.inherited);
    m_entries.insert(place.position, item);
}

void Datasource::takePlace(DataItem &item, int inherited)
{
    if (item.sequence() == 0)
        item.setObject(inherited, ItemPropertyKeys::get().sequence);
    else
        _setCurrentDateIfNeeded(item);
}

void Datasource::removeItem(const DataItemPtr &item)
{
    {
        std::lock_guard guard(m_lock);
        m_itemCount = -1;
        m_entries.remove(item);
    }
    reportItemsDidChange();
}

void Datasource::markItem(const DataItemPtr &item)
{
    item->setUnmarkCount(0);
    std::lock_guard guard(m_lock);
    m_markedItems.insert(item.get());
}

void Datasource::unmarkItems()
{
    std::lock_guard guard(m_lock);
    m_markedItems.clear();
}

void Datasource::removeUnmarked()
{
    {
        std::lock_guard guard(m_lock);
        m_entries.removeIf([this](const DataItemPtr &item) {
            if (m_markedItems.contains(item.get()))
                return false;
            item->setUnmarkCount(item->unmarkCount() + 1);
            return item->unmarkCount() >= 6;
        });
        m_itemCount = -1;
    }
    reportItemsDidChange();
}

void Datasource::removeSequence()
{
    std::lock_guard guard(m_lock);
    const int current = m_environment.refreshPool().currentSequence();
    for (const DataItemPtr &item : m_entries.list()) {
        const int sequence = item->sequence();
        if (sequence != 0 && sequence < current - 2)
            item->setObject(QVariant(), ItemPropertyKeys::get().sequence);
    }
}

void Datasource::_updateMark()
{
    const KeywordPredicate predicate = keywordPredicate();
    {
        std::lock_guard guard(m_lock);
        m_itemCount = -1;
        for (const DataItemPtr &item : m_entries.list())
            item->setObject(keywordMarkLocked(predicate, item->foldedSearchText()),
                            ItemPropertyKeys::get().mark);
    }
    reportItemsDidChange();
}

void Datasource::_setCurrentDateIfNeeded(DataItem &item)
{
    if (m_defaults.integerForKey(SettingsKey::receiveTimeStamp) != 0)
        item.setObject(m_clock.now(), ItemPropertyKeys::get().parsedDate);
}

void Datasource::keywordsDidChange(const QVariant &keywords)
{
    {
        std::lock_guard guard(m_fieldLock);
        m_keywords = KeywordPredicate(keywords.toList());
    }
    _updateMark();
}

KeywordPredicate Datasource::keywordPredicate() const
{
    std::lock_guard guard(m_fieldLock);
    return m_keywords;
}

// ---- Persistence and bookkeeping

void Datasource::load(ItemFileReadAhead *readAhead)
{
    Q_ASSERT(!weak_from_this().expired());
    ItemFile::Contents contents;
    std::optional<ItemFile::Contents> readAheadContents = readAhead ? readAhead->take(m_uuid) : std::nullopt;
    if (readAheadContents) {
        contents = std::move(*readAheadContents);
    } else {
        const ItemFile file(m_uuid);
        if (!file.exists())
            return;
        contents = file.read();
    }
    for (const DataItemPtr &item : std::as_const(contents.items)) {
        item->setObject(QVariant(), ItemKey::sequence);
        item->setDatasource(weak_from_this());
    }
    std::lock_guard guard(m_lock);
    m_entries.assign(std::move(contents.items));
    m_keptFileReason = contents.unreadable;
    m_itemCount = -1;
}

bool Datasource::sync()
{
    QString error;
    {
        std::lock_guard guard(m_lock);
        if (!m_keptFileReason.isEmpty())
            error = m_keptFileReason;
        else
            ItemFile(m_uuid).save(m_entries.list(), &error);
    }
    noteSaveResult(error);
    return error.isEmpty();
}

// A failed save shows as the source's error until a save succeeds; a fetch error that came
// after it is left alone.
void Datasource::noteSaveResult(const QString &error)
{
    const QString text = error.isEmpty() ? QString() : u"The entries cannot be saved: %1"_s.arg(error);
    bool changed = false;
    {
        std::lock_guard guard(m_errorLock);
        const bool showingSaveError = !m_saveErrorString.isEmpty() && m_errorString == m_saveErrorString;
        m_saveErrorString = text;
        if (!text.isEmpty() && m_errorString != text) {
            m_errorString = text;
            changed = true;
        } else if (text.isEmpty() && showingSaveError) {
            m_errorString.clear();
            changed = true;
        }
    }
    if (changed)
        postConfigurationDidChange();
}

QString Datasource::saveErrorString() const
{
    std::lock_guard guard(m_errorLock);
    return m_saveErrorString;
}

void Datasource::setLastUpdateDate(bool success)
{
    const QDateTime now = m_clock.now();
    {
        std::lock_guard guard(m_lastUpdateLock);
        if (m_lastUpdateDate.isValid()) {
            m_lastUpdateDate = now;
        } else {
            // Spreads the first refreshes of many feeds over one interval.
            const quint32 sum =
                QRandomGenerator::global()->generate() + QRandomGenerator::global()->generate();
            const quint32 spread = sum % quint32(refreshRate() * 60);
            m_lastUpdateDate = now.addSecs(-qint64(spread));
        }
    }
    postConfigurationDidChange();
    if (success)
        m_environment.refreshPool().setLastUpdateSince1970(double(now.toMSecsSinceEpoch()) / 1000.0);
}

QDateTime Datasource::lastUpdatedAt() const
{
    std::lock_guard guard(m_lastUpdateLock);
    return m_lastUpdateDate;
}

QString Datasource::errorString() const
{
    std::lock_guard guard(m_errorLock);
    return m_errorString;
}

void Datasource::setErrorString(const QString &errorString)
{
    {
        std::lock_guard guard(m_errorLock);
        m_errorString = errorString;
    }
    postConfigurationDidChange();
}

void Datasource::reportItemsDidChange()
{
    if (DatasourceDelegate *owner = delegate())
        owner->itemsDidChangeInDatasource(this);
}

void Datasource::postConfigurationDidChange()
{
    Q_EMIT NotificationCenter::defaultCenter().datasourceConfigurationDidChangeNotification(this);
}
