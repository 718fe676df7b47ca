#pragma once

#include "platform/desktop/notificationbus.h"

#include <QDBusConnection>
#include <QHash>
#include <QStringList>

#include <deque>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

// Notifications through org.freedesktop.Notifications on a D-Bus connection (the session bus in
// the application). Calls are asynchronous with a time-out, so a server that is missing, slow or
// hung never holds up the caller. Texts are prepared with NotificationText.
class FreedesktopNotifications final : public NotificationBus {
    Q_OBJECT

public:
    static inline const QString service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString path = QStringLiteral("/org/freedesktop/Notifications");
    static constexpr int defaultCallTimeoutMs = 3000;
    // Notifications followed for clicks at most; the oldest is forgotten (and reported closed) first.
    static constexpr size_t maximumFollowed = 256;

    explicit FreedesktopNotifications(const QDBusConnection &connection,
                                      int callTimeoutMs = defaultCallTimeoutMs, QObject *parent = nullptr);

    // The application's client on the session bus; created on first use (on the main thread, after
    // the application object exists, which then owns it).
    static FreedesktopNotifications &sharedInstance();

    bool isServerAvailable() const override;
    bool supportsActions() const override;
    Ticket show(const DesktopNotification &notification) override;

    // What the server said it can do; empty until it has answered.
    QStringList capabilities() const { return m_capabilities; }

Q_SIGNALS:
    // The server has answered the question about its capabilities.
    void capabilitiesChanged();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool askBus(const QString &method, const QVariantList &arguments, QVariant *answer) const;
    void queryCapabilities();
    void serverChanged(const QString &newOwner);
    void follow(uint id, Ticket ticket);
    void forgetAll();
    void finishNotify(QDBusPendingCallWatcher *watcher, Ticket ticket);

    QDBusConnection m_connection;
    int m_callTimeoutMs;
    QDBusServiceWatcher *m_watcher = nullptr;
    bool m_serverRunning = false;
    bool m_serverActivatable = false;
    QStringList m_capabilities;
    Ticket m_lastTicket = 0;
    quint64 m_serverGeneration = 0; // answers from a server that has since gone are dropped
    QHash<uint, Ticket> m_ticketById;
    std::deque<uint> m_followOrder;
};
