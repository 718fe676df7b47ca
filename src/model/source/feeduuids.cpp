#include "model/source/feeduuids.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "support/stringadditions.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString uuidKey = u"uuid"_s;

// Gives the feeds that need one a fresh uuid; the lines say which.
QStringList makeDistinctIn(QVariantList &feeds)
{
    QStringList changes;
    QSet<QString> seen;
    for (QVariant &feed : feeds) {
        if (feed.typeId() != QMetaType::QVariantMap)
            continue;
        const QString uuid = feed.toMap().value(uuidKey).toString();
        if (!uuid.isEmpty() && !seen.contains(uuid)) {
            seen.insert(uuid);
            continue;
        }
        QVariantMap entry = feed.toMap();
        const QString fresh = StringAdditions::uuid();
        const QString url = entry.value(u"url"_s).toString();
        changes.append(
            uuid.isEmpty()
                ? u"The feed %1 had no uuid; it now has %2"_s.arg(url, fresh)
                : u"The feed %1 had the uuid %2 of a feed before it; it now has %3"_s.arg(url, uuid, fresh));
        entry.insert(uuidKey, fresh);
        seen.insert(fresh);
        feed = entry;
    }
    return changes;
}

} // namespace

QVariantList FeedUuids::makeDistinct(UserDefaults &defaults)
{
    QVariantList feeds = defaults.arrayForKey(SettingsKey::feeds);
    if (makeDistinctIn(feeds).isEmpty())
        return feeds;
    // Again under the store's lock, on the list as it is now.
    QStringList changes;
    defaults.updateObject(SettingsKey::feeds, [&](const QVariant &current) {
        feeds = current.typeId() == QMetaType::QVariantList ? current.toList() : QVariantList();
        changes = makeDistinctIn(feeds);
        return changes.isEmpty() ? current : QVariant(feeds);
    });
    for (const QString &change : std::as_const(changes))
        qWarning("%s", qPrintable(change));
    return feeds;
}
