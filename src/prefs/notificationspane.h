#pragma once

#include <QWidget>

class NotificationBus;
class QButtonGroup;
class QGroupBox;
class UserDefaults;

// The notifications pane: which headlines become desktop notifications (none, marked ones, all).
// The choice is disabled, with a word of why, when no notification server is on the bus.
class NotificationsPane : public QWidget {
    Q_OBJECT
public:
    enum Level { None = 0, All = 1, MarkedOnly = 5 };

    NotificationsPane(UserDefaults &defaults, const NotificationBus &notifications,
                      QWidget *parent = nullptr);

    QGroupBox *notificationsGroup() const { return m_group; }

private:
    void showLevel(qint64 level);

    UserDefaults &m_defaults;
    QGroupBox *m_group;
    QButtonGroup *m_buttons;
};
