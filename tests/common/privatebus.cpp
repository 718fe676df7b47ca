#include "privatebus.h"

#include <QFile>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace {

// As on the session bus of a desktop, which allows far more than the built-in 128 pending replies.
const QString configuration =
    uR"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
  <limit name="max_replies_per_connection">50000</limit>
</busconfig>
)"_s;

int connectionCount = 0;

} // namespace

PrivateBus::PrivateBus()
{
    const QString configPath = m_dir.filePath(u"bus.conf"_s);
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configuration.arg(m_dir.path()).toUtf8()) < 0) {
        m_error = u"cannot write the bus configuration"_s;
        return;
    }
    config.close();
    // The daemon ends with the test process, even when that is killed.
    m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(u"dbus-daemon"_s,
                   {u"--config-file="_s + configPath, u"--nofork"_s, u"--print-address=1"_s});
    if (!m_daemon.waitForStarted(5000)) {
        m_error = u"dbus-daemon did not start: "_s + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        m_error = u"dbus-daemon printed no address: "_s + QString::fromUtf8(m_daemon.readAllStandardError());
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connectionNames))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
}

QDBusConnection PrivateBus::connect(const QString &purpose)
{
    const QString name = u"%1-%2"_s.arg(purpose).arg(++connectionCount);
    m_connectionNames.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}
