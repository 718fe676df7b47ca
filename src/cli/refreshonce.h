#pragma once

#include <QObject>

class DatasourceManager;
class QEventLoop;

// Waits while a manager in its one-pass mode refreshes every enabled feed once, then reports.
// Main thread.
class RefreshOnce : public QObject {
    Q_OBJECT
public:
    explicit RefreshOnce(DatasourceManager &manager, QObject *parent = nullptr);

    // Runs the event loop until every enabled feed has ended one refresh; false when
    // interrupt() came first or the network is unreachable (with a note on standard error).
    bool waitForAllFeeds();
    void interrupt();

    // Reports each enabled feed whose refresh failed on standard error; false when there was one.
    bool reportFailures() const;

private:
    DatasourceManager &m_manager;
    QEventLoop *m_loop = nullptr;
    bool m_interrupted = false;
};
