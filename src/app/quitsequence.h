#pragma once

#include "platform/threadhandoff.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DatasourceManager;
class UserDefaults;

// How Vantrel ends, whoever asks (the Quit item, SIGTERM, logout): the windows go at once, the
// downloads under way are cancelled, the settings are written, and every feed's item file is saved
// on a background thread under the manager's source-list lock; then finished() tells the
// application to end. When all that takes longer than the time limit (counted from begin(), and
// kept by a thread of its own, so that it holds even while the main thread waits), it is logged
// and the deadline action ends the process.
class QuitSequence : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Saved,  // every file written
        Failed, // a file could not be written (the reason is logged)
    };

    static constexpr std::chrono::milliseconds defaultTimeLimit{10000};
    // Ends the process at once with status 1. Item files are replaced whole, so a file whose save
    // is cut short keeps its previous contents.
    static void endProcessNow();

    QuitSequence(DatasourceManager &manager, UserDefaults &defaults,
                 std::chrono::milliseconds timeLimit = defaultTimeLimit,
                 std::function<void()> deadlineAction = &QuitSequence::endProcessNow,
                 QObject *parent = nullptr);
    // Waits for a save that is still running.
    ~QuitSequence() override;

    // Starts the sequence; later calls do nothing.
    void begin();
    // Runs when the process exits from elsewhere (the toolkit ends the program when the display
    // goes away, as at logout right after SIGTERM): waits, within the time limit, for a save under
    // way, so that no static the save uses is destroyed beneath it.
    static void waitForSaveAtExit();
    bool hasBegun() const { return m_begun; }

Q_SIGNALS:
    // Once, on the main thread.
    void finished(QuitSequence::Outcome outcome);

private:
    void closeWindows();
    void saveInBackground();
    void saveEnded(bool saved);
    void keepDeadline();
    void waitForSaver();

    DatasourceManager &m_manager;
    UserDefaults &m_defaults;
    const std::chrono::milliseconds m_timeLimit;
    const std::function<void()> m_deadlineAction;
    bool m_begun = false;
    bool m_settingsSaved = true;
    std::thread m_saver;
    ThreadHandOff m_ownThread; // the saver's end reaches this object's thread through it
    std::thread m_watchdog;
    std::mutex m_doneLock;
    std::condition_variable m_doneChanged;
    bool m_done = false;
    bool m_saverFinished = false;
};
