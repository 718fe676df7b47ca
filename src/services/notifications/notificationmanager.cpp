#include "services/notifications/notificationmanager.h"

#include "model/entry/textfolding.h"
#include "platform/desktop/notificationbus.h"
#include "platform/desktop/notificationtext.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "services/browser/browsersupport.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 noNotifications = 0;
constexpr qint64 markedOnly = 5;

} // namespace

NotificationManager::NotificationManager(UserDefaults &defaults, NotificationBus &bus,
                                         BrowserSupport &browser, QObject *parent)
    : QObject(parent), m_defaults(defaults), m_bus(bus), m_browser(browser)
{
    connect(&m_bus, &NotificationBus::actionInvoked, this,
            &NotificationManager::userNotificationCenterDidActivateNotification);
    connect(&m_bus, &NotificationBus::failed, this, [this](quint64 ticket, const QString &message) {
        if (m_posted.erase(ticket) > 0)
            qWarning("A headline's notification was not shown: %s", qPrintable(message));
    });
    connect(&m_bus, &NotificationBus::closed, this, [this](quint64 ticket) { m_posted.erase(ticket); });
}

void NotificationManager::displayItem(const DataItemPtr &item)
{
    if (!item || !m_bus.isServerAvailable() || !wantsNotification(*item))
        return;
    DesktopNotification notification{item->name(), body(*item), {}};
    if (!item->link().isEmpty())
        notification.actions.append({defaultAction, u"Open"_s});
    if (m_bus.supportsActions()) {
        if (!item->link().isEmpty())
            notification.actions.append({openAction, u"Open"_s});
        notification.actions.append({markReadAction, u"Mark as Read"_s});
        notification.actions.append({starAction, u"Star"_s});
    }
    m_posted.emplace(m_bus.show(notification), item);
}

bool NotificationManager::wantsNotification(const DataItem &item) const
{
    const qint64 level = m_defaults.integerForKey(SettingsKey::notificationCenterLevel);
    if (level == noNotifications)
        return false;
    return level != markedOnly || item.mark();
}

QString NotificationManager::body(const DataItem &item) const
{
    const QString headline = item.title().simplified();
    if (!item.mark())
        return headline;
    const QString keyword = matchedKeyword(item);
    if (keyword.isEmpty())
        return headline;
    // The headline gives way, so that a long one cannot push the keyword out of the body.
    const QString matched = u"\nmatched: "_s + NotificationText::cut(keyword.simplified(), 80);
    return NotificationText::cut(headline, NotificationText::maximumBodyLength - matched.size()) + matched;
}

// The first keyword of the setting that occurs in the headline, its description or its feed's
// name, as the keyword mark finds them.
QString NotificationManager::matchedKeyword(const DataItem &item) const
{
    const QString folded = TextFolding::fold(item.title()) + u'\n' + TextFolding::fold(item.description()) +
                           u'\n' + TextFolding::fold(item.name());
    const QVariantList keywords = m_defaults.arrayForKey(SettingsKey::keywords);
    for (const QVariant &keyword : keywords) {
        const QString text = keyword.toString().trimmed();
        if (!text.isEmpty() && TextFolding::containsFolded(folded, TextFolding::fold(text)))
            return text;
    }
    return {};
}

void NotificationManager::userNotificationCenterDidActivateNotification(quint64 ticket,
                                                                        const QString &actionKey)
{
    const auto posted = m_posted.find(ticket);
    if (posted == m_posted.end())
        return;
    const DataItemPtr item = posted->second;
    if (actionKey == defaultAction || actionKey == openAction) {
        if (const QString link = item->link(); !link.isEmpty())
            m_browser.openInBrowser(link);
    } else if (actionKey == markReadAction) {
        Q_EMIT markAsReadRequested(item);
    } else if (actionKey == starAction) {
        Q_EMIT starRequested(item);
    }
}
