#pragma once

#include "model/manager/viewdatasource.h"

#include <QIcon>
#include <QObject>
#include <QString>

class QSystemTrayIcon;
class TickerWindow;

// What the tray icon tells while the bar is out of sight: the number of headlines that arrived
// since the bar was last seen, a dot when one of them matched a keyword, and the latest three
// headlines in the tooltip. Arrivals are told apart by their arrival numbers, which grow.
class TrayBadge : public QObject {
    Q_OBJECT
public:
    TrayBadge(QSystemTrayIcon &trayIcon, ViewDataSource &headlines, TickerWindow &mainWindow,
              QObject *parent = nullptr);

    // Reads the published headlines again; call it when they or the bar's visibility changed.
    void refresh();

    int unseenCount() const { return m_unseen; }
    bool keywordMatched() const { return m_keywordMatched; }
    QString toolTip() const { return m_toolTip; }

    // The icon with a count in its lower right corner (none for 0, "99+" past 99) and a dot in
    // the upper right when `dot`.
    static QIcon badgedIcon(const QIcon &base, int count, bool dot);

private:
    void count(const ViewDataSource::ItemList &items, bool barVisible);
    static QString describe(const ViewDataSource::ItemList &items);

    QSystemTrayIcon &m_trayIcon;
    ViewDataSource &m_headlines;
    TickerWindow &m_mainWindow;
    const QIcon m_baseIcon;
    int m_lastSeenArrival = 0;
    int m_unseen = 0;
    bool m_keywordMatched = false;
    QString m_toolTip;
};
