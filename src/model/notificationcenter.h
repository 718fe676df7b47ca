#pragma once

#include <QObject>

class Datasource;

// The model's in-process notifications. Signals are emitted on the thread that made the change;
// receivers that touch the user interface connect with a queued connection.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    static NotificationCenter &defaultCenter();

Q_SIGNALS:
    // A source's settings, error text or refresh time changed.
    void datasourceConfigurationDidChangeNotification(Datasource *source);
};
