#include "platform/desktop/freedesktopnotifications.h"

#include "buildinfo.h"
#include "platform/desktop/notificationtext.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString interfaceName = FreedesktopNotifications::service;
// Questions to the bus daemon itself, which answers at once whatever the servers do.
constexpr int busTimeoutMs = 1000;

} // namespace

FreedesktopNotifications::FreedesktopNotifications(const QDBusConnection &connection, int callTimeoutMs,
                                                   QObject *parent)
    : NotificationBus(parent), m_connection(connection), m_callTimeoutMs(callTimeoutMs)
{
    if (!m_connection.isConnected()) {
        qWarning("Desktop notifications are off: no session bus (%s)",
                 qPrintable(m_connection.lastError().message()));
        return;
    }
    m_connection.connect(service, path, interfaceName, u"ActionInvoked"_s, this,
                         SLOT(onActionInvoked(uint, QString)));
    m_connection.connect(service, path, interfaceName, u"NotificationClosed"_s, this,
                         SLOT(onNotificationClosed(uint, uint)));
    m_watcher =
        new QDBusServiceWatcher(service, m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) { serverChanged(newOwner); });

    QVariant answer;
    m_serverRunning = askBus(u"NameHasOwner"_s, {service}, &answer) && answer.toBool();
    m_serverActivatable =
        askBus(u"ListActivatableNames"_s, {}, &answer) && answer.toStringList().contains(service);
    if (m_serverRunning)
        queryCapabilities();
}

FreedesktopNotifications &FreedesktopNotifications::sharedInstance()
{
    static FreedesktopNotifications *const instance = [] {
        auto *notifications = new FreedesktopNotifications(QDBusConnection::sessionBus());
        if (auto *app = QCoreApplication::instance())
            notifications->setParent(app);
        return notifications;
    }();
    return *instance;
}

bool FreedesktopNotifications::askBus(const QString &method, const QVariantList &arguments,
                                      QVariant *answer) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                       u"org.freedesktop.DBus"_s, method);
    call.setArguments(arguments);
    const QDBusMessage reply = m_connection.call(call, QDBus::Block, busTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qWarning("The session bus did not answer %s: %s", qPrintable(method),
                 qPrintable(reply.errorMessage()));
        return false;
    }
    *answer = reply.arguments().constFirst();
    return true;
}

bool FreedesktopNotifications::isServerAvailable() const
{
    return m_serverRunning || m_serverActivatable;
}

bool FreedesktopNotifications::supportsActions() const
{
    return m_capabilities.contains(u"actions"_s);
}

void FreedesktopNotifications::queryCapabilities()
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interfaceName, u"GetCapabilities"_s);
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call, m_callTimeoutMs), this);
    const quint64 generation = m_serverGeneration;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        const QDBusPendingReply<QStringList> reply = *watcher;
        if (generation != m_serverGeneration)
            return;
        if (reply.isError()) {
            qWarning("The notification server did not tell its capabilities: %s",
                     qPrintable(reply.error().message()));
            return;
        }
        m_capabilities = reply.value();
        Q_EMIT capabilitiesChanged();
    });
}

void FreedesktopNotifications::serverChanged(const QString &newOwner)
{
    ++m_serverGeneration;
    m_serverRunning = !newOwner.isEmpty();
    m_capabilities.clear();
    // Ids belong to the server that gave them.
    forgetAll();
    if (m_serverRunning)
        queryCapabilities();
}

NotificationBus::Ticket FreedesktopNotifications::show(const DesktopNotification &notification)
{
    const Ticket ticket = ++m_lastTicket;
    if (!m_connection.isConnected()) {
        QTimer::singleShot(0, this, [this, ticket] { Q_EMIT failed(ticket, u"no session bus"_s); });
        return ticket;
    }
    QStringList actions;
    for (const auto &[key, label] : notification.actions)
        actions << key << label;
    const QVariantMap hints{
        {u"desktop-entry"_s, QString::fromLatin1(buildinfo::bundleIdentifier)},
    };
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interfaceName, u"Notify"_s);
    call.setArguments({QString::fromLatin1(buildinfo::applicationName), uint(0), QString(),
                       NotificationText::title(notification.title), NotificationText::body(notification.body),
                       actions, hints, int(-1)});
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call, m_callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, ticket] { finishNotify(watcher, ticket); });
    return ticket;
}

void FreedesktopNotifications::finishNotify(QDBusPendingCallWatcher *watcher, Ticket ticket)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        Q_EMIT failed(ticket, reply.error().message());
        return;
    }
    follow(reply.value(), ticket);
    Q_EMIT delivered(ticket);
}

void FreedesktopNotifications::follow(uint id, Ticket ticket)
{
    if (m_ticketById.contains(id))
        std::erase(m_followOrder, id);
    m_ticketById.insert(id, ticket);
    m_followOrder.push_back(id);
    while (m_followOrder.size() > maximumFollowed) {
        const uint oldest = m_followOrder.front();
        m_followOrder.pop_front();
        Q_EMIT closed(m_ticketById.take(oldest));
    }
}

void FreedesktopNotifications::forgetAll()
{
    const QHash<uint, Ticket> followed = std::exchange(m_ticketById, {});
    m_followOrder.clear();
    for (const Ticket ticket : followed)
        Q_EMIT closed(ticket);
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString &actionKey)
{
    const auto found = m_ticketById.constFind(id);
    if (found != m_ticketById.constEnd())
        Q_EMIT actionInvoked(*found, actionKey);
}

void FreedesktopNotifications::onNotificationClosed(uint id, uint)
{
    if (!m_ticketById.contains(id))
        return;
    std::erase(m_followOrder, id);
    Q_EMIT closed(m_ticketById.take(id));
}
