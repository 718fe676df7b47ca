#include "platform/desktop/singleinstancechannel.h"

#include "buildinfo.h"
#include "platform/desktop/peercredentials.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char acknowledgement = '\x06';
constexpr int connectTimeoutMs = 1000;
constexpr int answerTimeoutMs = 5000;
// A start that finds the channel taken but not yet listening (the winner is between bind and
// listen, or quitting) tries again, for about five seconds in all.
constexpr int claimAttempts = 100;
constexpr int retryPauseMs = 50;
// A connection that sends nothing useful is dropped after this long.
constexpr int idleConnectionMs = 10000;

QByteArray frame(const QString &message)
{
    const QByteArray text = message.toUtf8();
    QByteArray framed(4, '\0');
    qToBigEndian(quint32(text.size()), framed.data());
    return framed + text;
}

} // namespace

SingleInstanceChannel::SingleInstanceChannel(const QString &name, QObject *parent)
    : QObject(parent), m_socketName(u"%1.%2"_s.arg(name).arg(geteuid()))
{
}

SingleInstanceChannel::~SingleInstanceChannel() = default;

QString SingleInstanceChannel::defaultName()
{
    return QString::fromLatin1(buildinfo::bundleIdentifier);
}

SingleInstanceChannel::Role SingleInstanceChannel::claim(const QStringList &messages)
{
    qsizetype acknowledged = 0;
    for (int attempt = 0; attempt < claimAttempts; ++attempt) {
        if (listen())
            return Role::Primary;
        if (!m_errorString.isEmpty())
            return Role::Failed;
        switch (handOver(messages.mid(acknowledged), &acknowledged)) {
        case HandOver::Delivered:
            return Role::Secondary;
        case HandOver::WrongUser:
            m_errorString =
                u"the channel %1 is held by another user; refusing to talk to it"_s.arg(m_socketName);
            return Role::Failed;
        case HandOver::NoAnswer:
            m_errorString = u"the running Vantrel did not answer"_s;
            return Role::Failed;
        case HandOver::NotListening:
            QThread::msleep(retryPauseMs);
            break;
        }
    }
    m_errorString = u"the channel %1 is taken but nobody answers on it"_s.arg(m_socketName);
    return Role::Failed;
}

// True when this process now holds the channel. False with errorString() empty when another
// process holds it, or set when listening failed for another reason.
bool SingleInstanceChannel::listen()
{
    m_errorString.clear();
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (server->listen(m_socketName)) {
        m_server = server;
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceChannel::acceptConnection);
        return true;
    }
    if (server->serverError() != QAbstractSocket::AddressInUseError)
        m_errorString = u"cannot open the channel %1: %2"_s.arg(m_socketName, server->errorString());
    delete server;
    return false;
}

// `acknowledged` grows by the messages the primary has taken, so that a retry sends only the rest.
SingleInstanceChannel::HandOver SingleInstanceChannel::handOver(const QStringList &messages,
                                                                qsizetype *acknowledged)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(connectTimeoutMs))
        return HandOver::NotListening;
    if (!PeerCredentials::isSameUser(int(socket.socketDescriptor())))
        return HandOver::WrongUser;
    for (const QString &message : messages)
        socket.write(frame(message));
    qsizetype taken = 0;
    while (taken < messages.size()) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return socket.state() == QLocalSocket::ConnectedState ? HandOver::NoAnswer
                                                                  : HandOver::NotListening;
        const QByteArray answers = socket.readAll();
        taken += answers.count(acknowledgement);
        *acknowledged += answers.count(acknowledgement);
    }
    socket.disconnectFromServer();
    return HandOver::Delivered;
}

void SingleInstanceChannel::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerCredentials::isSameUser(int(socket->socketDescriptor()))) {
            qWarning("Refused a connection to %s from another user", qPrintable(m_socketName));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(4 + maximumMessageSize);
        QTimer::singleShot(idleConnectionMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessages(socket); });
        readMessages(socket);
    }
}

void SingleInstanceChannel::readMessages(QLocalSocket *socket)
{
    while (socket->bytesAvailable() >= 4) {
        const quint32 length = qFromBigEndian<quint32>(socket->peek(4).constData());
        if (length > maximumMessageSize) {
            qWarning("Dropped a connection to %s that sent a message of %u bytes", qPrintable(m_socketName),
                     length);
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < 4 + qint64(length))
            return;
        socket->skip(4);
        const QString message = QString::fromUtf8(socket->read(length));
        Q_EMIT messageReceived(message);
        socket->write(&acknowledgement, 1);
        socket->flush();
    }
}
