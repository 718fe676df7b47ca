#pragma once

#include <QList>

class DataItemView;

// Rows follow their entry's read flag, which the model may change on any thread without telling
// anyone (marking all read, a refresh that carries the flag over). The watcher knows every row of
// the process; the bar's tick has them compare the flag with what they show, one flag read per row.
class ReadStateWatcher {
public:
    // The watcher of every row of the process.
    static ReadStateWatcher &shared();

    void watch(DataItemView *row);
    void unwatch(DataItemView *row);

    // Has every watched row follow its entry's read flag now.
    void check();

private:
    ReadStateWatcher() = default;

    QList<DataItemView *> m_rows;
};
