#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class PrivateBus;

// A notification server inside the test, on its own connection to a PrivateBus. It records every
// notification and answers as the test says; like dunst, it sends ActionInvoked to the caller
// only and NotificationClosed to everyone.
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        uint id = 0;
        QString appName;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        QString sender;
    };

    FakeNotificationServer(PrivateBus &bus, const QStringList &capabilities);
    ~FakeNotificationServer() override;

    // Takes the service name; false when the bus refused.
    bool start();
    // From now on, Notify is never answered.
    void stopAnswering() { m_answering = false; }

    const QList<Notification> &notifications() const { return m_notifications; }
    int unansweredCalls() const { return int(m_unanswered.size()); }
    void invokeAction(uint id, const QString &actionKey);
    void close(uint id);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion);

private:
    QDBusConnection m_connection;
    QStringList m_capabilities;
    bool m_answering = true;
    uint m_lastId = 0;
    QList<Notification> m_notifications;
    QList<QDBusMessage> m_unanswered;
};
