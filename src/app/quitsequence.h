#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

class DatasourceManager;
class UserDefaults;

// How Vantrel ends, whoever asks (the Quit item, SIGTERM, logout): the windows go at once, the
// downloads under way are cancelled, the settings are written, and every feed's item file is saved
// on a background thread under the manager's source-list lock; then finished() tells the
// application to end. A save that takes longer than the time limit is logged and given up on.
class QuitSequence : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Saved,     // every file written
        Failed,    // a file could not be written (the reason is logged)
        Abandoned, // the save outlived the time limit and still runs: end the process without waiting
    };

    static constexpr std::chrono::milliseconds defaultTimeLimit{10000};

    QuitSequence(DatasourceManager &manager, UserDefaults &defaults,
                 std::chrono::milliseconds timeLimit = defaultTimeLimit, QObject *parent = nullptr);
    // Waits for a save that is still running.
    ~QuitSequence() override;

    // Starts the sequence; later calls do nothing.
    void begin();
    bool hasBegun() const { return m_begun; }

Q_SIGNALS:
    // Once, on the main thread.
    void finished(QuitSequence::Outcome outcome);

private:
    void closeWindows();
    void saveInBackground();
    void saveEnded(bool saved);
    void timeLimitReached();
    void finish(Outcome outcome);

    DatasourceManager &m_manager;
    UserDefaults &m_defaults;
    const std::chrono::milliseconds m_timeLimit;
    bool m_begun = false;
    bool m_finished = false;
    bool m_settingsSaved = true;
    std::thread m_saver;
};
