#include "model/source/feedsettings.h"

#include "platform/archive.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

using namespace Qt::StringLiterals;

namespace {

const QString uuidKey = u"uuid"_s;
const QString enabledKey = u"enabled"_s;

} // namespace

QVariantMap FeedSettings::entry() const
{
    const QVariantList feeds = m_defaults.arrayForKey(SettingsKey::feeds);
    const qsizetype index = indexIn(feeds);
    return index < 0 ? QVariantMap() : feeds.at(index).toMap();
}

QVariant FeedSettings::value(const QVariantMap &entry, const QString &key, bool returnNil) const
{
    QVariant value = entry.value(key);
    if (!value.isValid() && !returnNil)
        value = m_defaults.objectForKey(key);
    return Archive::unarchiveIfBlob(value);
}

// Feeds keep their places in "feeds" unless one before them is deleted, so the place where the
// entry was found last is tried first; a refresh round asks every source for its interval.
qsizetype FeedSettings::indexIn(const QVariantList &feeds) const
{
    auto isOurs = [this, &feeds](qsizetype i) {
        return feeds.at(i).toMap().value(uuidKey).toString() == m_uuid;
    };
    const qsizetype hint = m_indexHint.load(std::memory_order_relaxed);
    if (hint >= 0 && hint < feeds.size() && isOurs(hint))
        return hint;
    for (qsizetype i = 0; i < feeds.size(); ++i) {
        if (isOurs(i)) {
            m_indexHint.store(i, std::memory_order_relaxed);
            return i;
        }
    }
    return -1;
}

// The store saves the change within half a second; a synchronous save of the whole file here
// would serialise every refresh thread behind one disk write per feed.
bool FeedSettings::write(const QVariant &value, const QString &key, bool enabled)
{
    const bool isArchivable = value.typeId() == QMetaType::QColor || value.typeId() == QMetaType::QImage;
    const QVariant stored = isArchivable ? QVariant(Archive::archive(value)) : value;
    const bool creating = !value.isValid() && key.isNull();
    bool written = false;
    m_defaults.updateObject(SettingsKey::feeds, [&](const QVariant &current) {
        QVariantList feeds = current.toList();
        const qsizetype index = indexIn(feeds);
        if (index < 0 && !creating)
            return current;
        QVariantMap entry =
            index < 0 ? QVariantMap{{uuidKey, m_uuid}, {enabledKey, enabled}} : feeds.at(index).toMap();
        if (!key.isNull()) {
            if (stored.isValid())
                entry.insert(key, stored);
            else
                entry.remove(key);
        }
        if (index < 0)
            feeds.append(entry);
        else
            feeds[index] = entry;
        written = true;
        return QVariant(feeds);
    });
    return written;
}
