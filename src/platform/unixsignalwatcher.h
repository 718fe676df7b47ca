#pragma once

#include <QObject>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns Unix signals (SIGINT, SIGTERM, ...) into a Qt signal on the thread that owns the watcher,
// so that a Ctrl+C or a kill ends the event loop and the program saves on its way out.
// One watcher per process.
class UnixSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void unixSignal(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    std::vector<int> m_signalNumbers;
};
