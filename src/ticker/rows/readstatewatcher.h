#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class DataItemView;

// Rows follow their entry's read flag, which the model may change on any thread without telling
// anyone (marking all read, a refresh that carries the flag over). While rows exist, the watcher
// has each of them compare the flag with what it shows every 0.2 seconds, on the main thread:
// one flag read per row.
class ReadStateWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int intervalMs = 200;

    // The watcher of every row of the process.
    static ReadStateWatcher &shared();

    void watch(DataItemView *row);
    void unwatch(DataItemView *row);

    // Has every watched row follow its entry's read flag now.
    void check();

private:
    ReadStateWatcher();

    QList<DataItemView *> m_rows;
    QTimer m_timer;
};
