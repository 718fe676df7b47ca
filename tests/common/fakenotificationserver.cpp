#include "fakenotificationserver.h"

#include "privatebus.h"

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.Notifications"_s;
const QString path = u"/org/freedesktop/Notifications"_s;

} // namespace

FakeNotificationServer::FakeNotificationServer(PrivateBus &bus, const QStringList &capabilities)
    : m_connection(bus.connect(u"fake-notification-server"_s)), m_capabilities(capabilities)
{
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_connection.unregisterObject(path);
    m_connection.unregisterService(service);
}

bool FakeNotificationServer::start()
{
    return m_connection.isConnected() &&
           m_connection.registerObject(path, this, QDBusConnection::ExportAllSlots) &&
           m_connection.registerService(service);
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString &appName, uint, const QString &, const QString &summary,
                                    const QString &body, const QStringList &actions, const QVariantMap &hints,
                                    int)
{
    const uint id = ++m_lastId;
    m_notifications.append({id, appName, summary, body, actions, hints, message().service()});
    if (!m_answering) {
        setDelayedReply(true);
        m_unanswered.append(message());
    }
    return id;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    close(id);
}

QString FakeNotificationServer::GetServerInformation(QString &vendor, QString &version, QString &specVersion)
{
    vendor = u"Vantrel tests"_s;
    version = u"1"_s;
    specVersion = u"1.2"_s;
    return u"fake"_s;
}

void FakeNotificationServer::invokeAction(uint id, const QString &actionKey)
{
    for (const Notification &notification : std::as_const(m_notifications)) {
        if (notification.id != id)
            continue;
        QDBusMessage signal =
            QDBusMessage::createTargetedSignal(notification.sender, path, service, u"ActionInvoked"_s);
        signal << id << actionKey;
        m_connection.send(signal);
    }
}

void FakeNotificationServer::close(uint id)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, service, u"NotificationClosed"_s);
    signal << id << uint(2);
    m_connection.send(signal);
}
