#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

// A desktop notification. Title and body are plain text, never markup: whatever they hold is
// shown as it is written.
struct DesktopNotification {
    QString title;
    QString body; // may hold line breaks
    // (key, label) pairs; the key "default" is the click on the notification itself.
    QList<QPair<QString, QString>> actions;
};

// The desktop's notification service. Nothing here waits for the service: show() returns at once
// and the outcome arrives as a signal, on the thread the object lives on.
class NotificationBus : public QObject {
    Q_OBJECT

public:
    using Ticket = quint64;
    using QObject::QObject;

    // Whether a notification server runs, or can be started.
    virtual bool isServerAvailable() const = 0;
    // Whether the server shows action buttons, as far as it has said so.
    virtual bool supportsActions() const = 0;
    // Hands the notification to the server; the ticket names it in the signals below.
    virtual Ticket show(const DesktopNotification &notification) = 0;

Q_SIGNALS:
    void delivered(quint64 ticket);
    // The server refused or did not answer in time; the notification is not shown.
    void failed(quint64 ticket, const QString &message);
    void actionInvoked(quint64 ticket, const QString &actionKey);
    // The notification is gone (expired, dismissed, or no longer followed); no signal names it again.
    void closed(quint64 ticket);
};
