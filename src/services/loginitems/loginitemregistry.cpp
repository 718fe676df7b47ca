#include "services/loginitems/loginitemregistry.h"

#include "platform/desktop/autostartentries.h"
#include "platform/desktop/xdgautostart.h"

#include <QFileInfo>

LoginItemRegistry::LoginItemRegistry(AutostartEntries &entries) : m_entries(entries) {}

LoginItemRegistry &LoginItemRegistry::shared()
{
    static XdgAutostart autostart;
    static LoginItemRegistry registry(autostart);
    return registry;
}

std::optional<QList<QVariantMap>> LoginItemRegistry::allLoginItems() const
{
    QString error;
    const std::optional<QList<AutostartEntries::Entry>> entries = m_entries.entries(&error);
    if (!entries) {
        qWarning("Cannot read the login items: %s", qPrintable(error));
        return std::nullopt;
    }
    QList<QVariantMap> items;
    for (const AutostartEntries::Entry &entry : *entries)
        items.append({{urlKey, QUrl::fromLocalFile(entry.path)}, {hiddenKey, entry.startHidden}});
    return items;
}

int LoginItemRegistry::indexForLoginItemWithURL(const QUrl &url) const
{
    if (!url.isLocalFile())
        return -1;
    const QString name = QFileInfo(url.toLocalFile()).fileName();
    const std::optional<QList<QVariantMap>> items = allLoginItems();
    if (!items || name.isEmpty())
        return -1;
    for (qsizetype i = 0; i < items->size(); ++i) {
        if (QFileInfo(items->at(i).value(urlKey).toUrl().toLocalFile()).fileName() == name)
            return int(i);
    }
    return -1;
}

int LoginItemRegistry::indexForLoginItemWithPath(const QString &path) const
{
    return indexForLoginItemWithURL(QUrl::fromLocalFile(path));
}

bool LoginItemRegistry::addLoginItemWithURL(const QUrl &url, bool hideIt)
{
    QString error;
    if (!url.isLocalFile() || !QFileInfo::exists(url.toLocalFile())) {
        qWarning("Cannot add the login item %s: no such file", qPrintable(url.toString()));
        return false;
    }
    if (!m_entries.add(url.toLocalFile(), hideIt, &error)) {
        qWarning("Cannot add the login item: %s", qPrintable(error));
        return false;
    }
    return true;
}

bool LoginItemRegistry::addLoginItemWithPath(const QString &path, bool hideIt)
{
    return addLoginItemWithURL(QUrl::fromLocalFile(path), hideIt);
}

bool LoginItemRegistry::removeLoginItemAtIndex(int index)
{
    QString error;
    const std::optional<QList<AutostartEntries::Entry>> entries = m_entries.entries(&error);
    if (!entries || index < 0 || index >= entries->size()) {
        qWarning("Cannot remove login item %d: %s", index,
                 qPrintable(entries ? QStringLiteral("there is no such item") : error));
        return false;
    }
    if (!m_entries.remove(entries->at(index).id, &error)) {
        qWarning("Cannot remove the login item: %s", qPrintable(error));
        return false;
    }
    return true;
}

bool LoginItemRegistry::removeLoginItemWithURL(const QUrl &url)
{
    const int index = indexForLoginItemWithURL(url);
    return index >= 0 && removeLoginItemAtIndex(index);
}

bool LoginItemRegistry::removeLoginItemWithPath(const QString &path)
{
    return removeLoginItemWithURL(QUrl::fromLocalFile(path));
}
