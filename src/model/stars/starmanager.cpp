#include "model/stars/starmanager.h"

#include "model/entry/itemkeys.h"
#include "model/manager/datasourcemanager.h"
#include "model/manager/searchfilter.h"
#include "model/source/notificationcenter.h"
#include "model/source/rssdatasource.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

using namespace Qt::StringLiterals;

namespace {
const QString dataSourceUrlKey = u"DataSourceUrl"_s;
} // namespace

StarManager::StarManager(UserDefaults &defaults, DatasourceManager *sources)
    : m_defaults(defaults), m_sources(sources), m_starred(defaults.arrayForKey(SettingsKey::starred))
{
}

StarManager &StarManager::sharedInstance()
{
    // Lives until the process ends, like the manager whose sources it refers to.
    static StarManager *instance =
        new StarManager(UserDefaults::standardUserDefaults(), &DatasourceManager::sharedInstance());
    return *instance;
}

QVariantMap StarManager::recordForItem(const DataItem &item)
{
    QVariantMap record = item.dictionary();
    record.remove(ItemKey::sequence);
    if (const auto rss = std::dynamic_pointer_cast<const RSSDatasource>(item.datasource())) {
        if (const QString url = rss->url(); !url.isEmpty())
            record.insert(dataSourceUrlKey, url);
    }
    return record;
}

bool StarManager::isStarred(const DataItem &item) const
{
    const QVariant record = recordForItem(item);
    std::lock_guard guard(m_lock);
    return m_starred.contains(record);
}

void StarManager::starItem(const DataItemPtr &item)
{
    const QVariant record = recordForItem(*item);
    std::lock_guard guard(m_lock);
    m_cache.reset();
    m_refresh = true;
    if (!m_starred.contains(record)) {
        m_starred.prepend(record);
        _sync();
    }
    Q_EMIT NotificationCenter::defaultCenter().notificationStarChanged(item);
}

void StarManager::unstarItem(const DataItemPtr &item)
{
    const QVariant record = recordForItem(*item);
    std::lock_guard guard(m_lock);
    if (m_cache) {
        auto remaining = std::make_shared<QList<DataItemPtr>>(*m_cache);
        const QVariantMap wanted = record.toMap();
        for (qsizetype i = 0; i < remaining->size(); ++i) {
            if (recordForItem(*remaining->at(i)) == wanted) {
                remaining->removeAt(i);
                break;
            }
        }
        m_cache = std::move(remaining);
    }
    m_refresh = true;
    m_starred.removeOne(record);
    _sync();
    Q_EMIT NotificationCenter::defaultCenter().notificationStarChanged(item);
}

void StarManager::removeAll()
{
    {
        std::lock_guard guard(m_lock);
        m_starred.clear();
        m_cache.reset();
        m_refresh = true;
        _sync();
    }
    Q_EMIT NotificationCenter::defaultCenter().starManagerItemsRemovedNotification(this);
}

void StarManager::_sync()
{
    m_defaults.setObject(m_starred, SettingsKey::starred);
}

PublishedList::Part StarManager::buildCache() const
{
    auto cache = std::make_shared<QList<DataItemPtr>>();
    const QVariantList records = m_defaults.arrayForKey(SettingsKey::starred);
    for (const QVariant &stored : records) {
        const QVariantMap record = stored.toMap();
        auto item = std::make_shared<DataItem>();
        for (auto it = record.cbegin(); it != record.cend(); ++it)
            item->setObject(it.value(), it.key());
        if (m_sources)
            item->setDatasource(m_sources->dataSourceForUrl(record.value(dataSourceUrlKey).toString()));
        cache->append(std::move(item));
    }
    return cache;
}

ViewDataSource::ItemList StarManager::items()
{
    PublishedList::Part cache;
    {
        std::lock_guard guard(m_lock);
        if (!m_cache)
            m_cache = buildCache();
        cache = m_cache;
    }
    if (m_filter.isNull())
        return PublishedList(cache);
    const SearchFilter filter(m_filter, false);
    auto filtered = std::make_shared<QList<DataItemPtr>>(*cache);
    filtered->removeIf([&filter](const DataItemPtr &item) { return !filter.matches(*item); });
    return PublishedList(std::move(filtered));
}

void StarManager::setFilter(const QString &filter)
{
    m_filter = SearchFilter::isBlank(filter) ? QString() : filter;
    m_refresh = true;
}
