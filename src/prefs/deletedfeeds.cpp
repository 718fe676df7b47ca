#include "prefs/deletedfeeds.h"

#include "model/manager/datasourcemanager.h"
#include "model/source/itemfile.h"
#include "model/source/rssdatasource.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

using namespace Qt::StringLiterals;

namespace {

const QString uuidKey = u"uuid"_s;
const QString urlKey = u"url"_s;
const QString enabledKey = u"enabled"_s;

} // namespace

DeletedFeeds::DeletedFeeds(DatasourceManager &manager, UserDefaults &defaults)
    : m_manager(manager), m_defaults(defaults)
{
}

QVariantMap DeletedFeeds::configurationOf(const Datasource &source) const
{
    const QVariantList feeds = m_defaults.arrayForKey(SettingsKey::feeds);
    for (const QVariant &feed : feeds) {
        if (feed.toMap().value(uuidKey).toString() == source.uuid())
            return feed.toMap();
    }
    return {};
}

void DeletedFeeds::deleteSources(const QList<std::shared_ptr<Datasource>> &sources)
{
    m_kept.clear();
    for (const std::shared_ptr<Datasource> &source : sources) {
        m_kept.append({configurationOf(*source), source->items()});
        m_manager.deleteDatasource(source.get());
    }
}

// The kept entries replace whatever the new subscription holds by then; its next refresh brings
// them up to date. Entries that cannot be written back leave the reason as the feed's error.
int DeletedFeeds::restore()
{
    int restored = 0;
    for (const Kept &kept : std::as_const(m_kept)) {
        const std::shared_ptr<RSSDatasource> source =
            m_manager.addFeedWithURL(kept.configuration.value(urlKey).toString());
        if (!source)
            continue;
        for (auto it = kept.configuration.cbegin(); it != kept.configuration.cend(); ++it) {
            if (it.key() != uuidKey && it.key() != urlKey && it.key() != enabledKey)
                source->setUserDefaults(it.value(), it.key());
        }
        source->setEnabled(kept.configuration.value(enabledKey, true).toBool());
        if (QString error; ItemFile(source->uuid()).save(kept.items, &error))
            source->load();
        else
            source->setErrorString(error);
        source->loadGeneralDefaults();
        ++restored;
    }
    m_kept.clear();
    return restored;
}
