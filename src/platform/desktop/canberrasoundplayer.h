#pragma once

#include "platform/desktop/soundplayer.h"
#include "platform/threadhandoff.h"

#include <QThread>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

class CanberraContext;

// Sounds through libcanberra: the bundled sounds (BundledSounds) from files written to a folder,
// any other name from the freedesktop sound theme. libcanberra is called on a thread of its own,
// since opening the sound system and reading a sound may take a while.
class CanberraSoundPlayer final : public SoundPlayer {
    Q_OBJECT

public:
    // The theme's sound for beep().
    static inline const QString beepSound = QStringLiteral("bell");

    // `soundFolder` receives the bundled sounds' files.
    explicit CanberraSoundPlayer(const QString &soundFolder, QObject *parent = nullptr);
    ~CanberraSoundPlayer() override;

    // The application's player, writing to defaultSoundFolder(); created on first use (on the
    // main thread, after the application object exists, which then owns it).
    static CanberraSoundPlayer &sharedInstance();
    // "sounds" in the caches folder.
    static QString defaultSoundFolder();

    QStringList soundNames() const override;
    void play(const QString &name) override;
    void beep() override;

private:
    void playOnWorker(std::uint32_t id, const QString &name);
    void finishedOnLibraryThread(std::uint32_t id, int error);
    void report(const QString &name, const QString &failure);

    QString m_soundFolder;
    QThread m_thread;
    std::unique_ptr<ThreadHandOff> m_worker;    // lives on m_thread; tasks are queued to it
    ThreadHandOff m_mainThread;                 // reports go to this object's thread through it
    std::unique_ptr<CanberraContext> m_context; // made and used on m_thread only
    std::uint32_t m_lastId = 0;                 // main thread

    std::mutex m_pendingMutex;                  // libcanberra's callback thread against the worker
    std::map<std::uint32_t, QString> m_pending; // the names of the sounds that have started
};
