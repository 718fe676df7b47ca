#include "app/quitsequence.h"

#include "model/datasourcemanager.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

QuitSequence::QuitSequence(DatasourceManager &manager, UserDefaults &defaults,
                           std::chrono::milliseconds timeLimit, QObject *parent)
    : QObject(parent), m_manager(manager), m_defaults(defaults), m_timeLimit(timeLimit)
{
}

QuitSequence::~QuitSequence()
{
    if (m_saver.joinable())
        m_saver.join();
}

void QuitSequence::begin()
{
    if (m_begun)
        return;
    m_begun = true;
    closeWindows();
    // The rest waits for the next turn of the event loop, so the windows are gone from the screen
    // while the program saves.
    QTimer::singleShot(0, this, &QuitSequence::saveInBackground);
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
    QTimer::singleShot(m_timeLimit, this, &QuitSequence::timeLimitReached);
    m_saver = std::thread([this] {
        const bool saved = m_manager.syncAll();
        QMetaObject::invokeMethod(
            this, [this, saved] { saveEnded(saved); }, Qt::QueuedConnection);
    });
}

void QuitSequence::saveEnded(bool saved)
{
    if (!saved)
        qWarning("Vantrel could not save every feed's headlines; see the messages above.");
    finish(saved && m_settingsSaved ? Outcome::Saved : Outcome::Failed);
}

void QuitSequence::timeLimitReached()
{
    if (m_finished)
        return;
    qWarning("Saving the feeds' headlines has taken more than %lld ms; Vantrel ends without waiting. "
             "Item files are replaced whole, so a file not yet saved keeps its previous contents.",
             static_cast<long long>(m_timeLimit.count()));
    finish(Outcome::Abandoned);
}

void QuitSequence::finish(Outcome outcome)
{
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished(outcome);
}
