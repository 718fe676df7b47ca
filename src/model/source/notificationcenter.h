#pragma once

#include "model/entry/dataitem.h"

#include <QObject>

class Datasource;
class StarManager;
Q_DECLARE_OPAQUE_POINTER(StarManager *)

// The model's in-process notifications. Signals are emitted on the thread that made the change;
// receivers that touch the user interface connect with a queued connection.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    static NotificationCenter &defaultCenter();

Q_SIGNALS:
    // A source's settings, error text or refresh time changed.
    void datasourceConfigurationDidChangeNotification(Datasource *source);
    // The entry was starred or unstarred.
    void notificationStarChanged(const DataItemPtr &item);
    // Every star was removed.
    void starManagerItemsRemovedNotification(StarManager *manager);
};
