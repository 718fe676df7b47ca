#include "app/quitsequence.h"

#include "model/manager/datasourcemanager.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
// The sequence whose save is under way, for waitForSaveAtExit.
std::atomic<QuitSequence *> savingSequence{nullptr};
} // namespace

void QuitSequence::endProcessNow()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(1);
}

QuitSequence::QuitSequence(DatasourceManager &manager, UserDefaults &defaults,
                           std::chrono::milliseconds timeLimit, std::function<void()> deadlineAction,
                           QObject *parent)
    : QObject(parent), m_manager(manager), m_defaults(defaults), m_timeLimit(timeLimit),
      m_deadlineAction(std::move(deadlineAction))
{
}

QuitSequence::~QuitSequence()
{
    QuitSequence *self = this;
    savingSequence.compare_exchange_strong(self, nullptr);
    if (m_saver.joinable())
        m_saver.join();
    {
        const std::lock_guard guard(m_doneLock);
        m_done = true;
    }
    m_doneChanged.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

void QuitSequence::begin()
{
    if (m_begun)
        return;
    m_begun = true;
    m_watchdog = std::thread([this] { keepDeadline(); });
    closeWindows();
    // The rest waits for the next turn of the event loop, so the windows are gone from the screen
    // while the program saves.
    QTimer::singleShot(0, this, &QuitSequence::saveInBackground);
}

void QuitSequence::keepDeadline()
{
    std::unique_lock guard(m_doneLock);
    if (m_doneChanged.wait_for(guard, m_timeLimit, [this] { return m_done; }))
        return;
    qWarning("Saving the feeds' headlines has taken more than %lld ms; Vantrel ends without waiting. "
             "Item files are replaced whole, so one not saved yet keeps its previous contents.",
             static_cast<long long>(m_timeLimit.count()));
    guard.unlock();
    m_deadlineAction();
}

void QuitSequence::closeWindows()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    for (QSystemTrayIcon *icon : QApplication::instance()->findChildren<QSystemTrayIcon *>())
        icon->hide();
}

void QuitSequence::saveInBackground()
{
    // Closing cancels the transfers and waits for their threads, which then end at once.
    m_manager.close();
    if (!m_defaults.synchronize()) {
        qWarning("Vantrel could not save its settings: %s", qPrintable(m_defaults.errorString()));
        m_settingsSaved = false;
    }
    // Registered now, the wait runs at exit before the destructors of statics made earlier.
    static const bool waitsAtExit = std::atexit(&QuitSequence::waitForSaveAtExit) == 0;
    if (!waitsAtExit)
        qWarning("Vantrel cannot hold an early exit back until its save has ended.");
    savingSequence = this;
    m_saver = std::thread([this] {
        const bool saved = m_manager.syncAll();
        {
            const std::lock_guard guard(m_doneLock);
            m_saverFinished = true;
        }
        m_doneChanged.notify_all();
        m_ownThread.post([this, saved] { saveEnded(saved); });
    });
}

void QuitSequence::waitForSaveAtExit()
{
    if (QuitSequence *sequence = savingSequence.load())
        sequence->waitForSaver();
}

void QuitSequence::waitForSaver()
{
    std::unique_lock guard(m_doneLock);
    m_doneChanged.wait_for(guard, m_timeLimit, [this] { return m_saverFinished; });
}

void QuitSequence::saveEnded(bool saved)
{
    {
        const std::lock_guard guard(m_doneLock);
        if (m_done)
            return;
        m_done = true;
    }
    m_doneChanged.notify_all();
    if (!saved)
        qWarning("Vantrel could not save every feed's headlines; see the messages above.");
    Q_EMIT finished(saved && m_settingsSaved ? Outcome::Saved : Outcome::Failed);
}
