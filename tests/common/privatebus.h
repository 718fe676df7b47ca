#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A dbus-daemon of the test's own: a session bus whose configuration lists no service folders, so
// that nothing is started on demand and a call to a missing service fails at once.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // Empty when the daemon did not start (error() says why).
    QString address() const { return m_address; }
    QString error() const { return m_error; }
    // A new connection to the bus under a name unique in the process.
    QDBusConnection connect(const QString &purpose);

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connectionNames;
};
