#pragma once

#include "model/entry/dataitem.h"

#include <QObject>
#include <QString>

#include <map>

class BrowserSupport;
class NotificationBus;
class UserDefaults;

// Posts a desktop notification for each headline the ticker brings in, as the
// NotificationCenterLevel setting says: 0 none, 5 only headlines marked by a keyword, any other
// value every headline. The title is the feed's name, the body the headline (and, for a marked
// one, the keyword it matched). A click opens the headline's link in the browser; where the server
// shows buttons, "Open", "Mark as Read" and "Star" act on the headline.
//
// Posting never waits for the notification server; a server that is missing or fails costs a log
// line and nothing else.
class NotificationManager : public QObject {
    Q_OBJECT

public:
    static inline const QString defaultAction = QStringLiteral("default");
    static inline const QString openAction = QStringLiteral("open");
    static inline const QString markReadAction = QStringLiteral("mark-read");
    static inline const QString starAction = QStringLiteral("star");

    NotificationManager(UserDefaults &defaults, NotificationBus &bus, BrowserSupport &browser,
                        QObject *parent = nullptr);

    void displayItem(const DataItemPtr &item);

Q_SIGNALS:
    // The user pressed "Mark as Read" or "Star" on the headline's notification.
    void markAsReadRequested(const DataItemPtr &item);
    void starRequested(const DataItemPtr &item);

private:
    bool wantsNotification(const DataItem &item) const;
    QString body(const DataItem &item) const;
    QString matchedKeyword(const DataItem &item) const;
    void userNotificationCenterDidActivateNotification(quint64 ticket, const QString &actionKey);

    UserDefaults &m_defaults;
    NotificationBus &m_bus;
    BrowserSupport &m_browser;
    // The headlines of the notifications still on screen, by ticket.
    std::map<quint64, DataItemPtr> m_posted;
};
