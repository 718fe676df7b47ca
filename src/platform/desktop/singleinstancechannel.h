#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One running Vantrel per user. The first start claims the channel, an abstract local socket whose
// name carries the user id: binding it is atomic, so of many simultaneous starts exactly one wins,
// and it vanishes with its process, so a crash leaves nothing to clean up. Later starts hand their
// messages (the feed: links they were given) to the winner and exit. Abstract sockets have no
// permissions, so each end checks that the other runs as the same user.
//
// Messages are UTF-8 texts of at most maximumMessageSize bytes, each sent with a 4-byte big-endian
// length and acknowledged with one byte once the primary has taken it.
class SingleInstanceChannel : public QObject {
    Q_OBJECT

public:
    enum class Role {
        Primary,   // this process holds the channel and receives messages
        Secondary, // another instance of the user holds it and has taken the messages
        Failed,    // neither: errorString() says why
    };

    static constexpr qint64 maximumMessageSize = 64 * 1024;

    // `name` tells channels apart (tests use their own); the user id is appended to it.
    explicit SingleInstanceChannel(const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstanceChannel() override;

    // The bundle identifier.
    static QString defaultName();
    // The socket's name in the abstract namespace: "<name>.<uid>".
    QString socketName() const { return m_socketName; }

    // Becomes the primary instance or hands `messages` to the one that is. Blocks for as long as
    // handing over takes (a few milliseconds; seconds only when the primary does not answer).
    Role claim(const QStringList &messages);
    QString errorString() const { return m_errorString; }

Q_SIGNALS:
    // In the primary: a message another start handed over.
    void messageReceived(const QString &message);

private:
    enum class HandOver { Delivered, NotListening, WrongUser, NoAnswer };

    bool listen();
    HandOver handOver(const QStringList &messages, qsizetype *acknowledged);
    void acceptConnection();
    void readMessages(QLocalSocket *socket);

    QString m_socketName;
    QLocalServer *m_server = nullptr;
    QString m_errorString;
};
