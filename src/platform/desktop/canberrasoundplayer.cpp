#include "platform/desktop/canberrasoundplayer.h"

#include "platform/desktop/bundledsounds.h"
#include "platform/desktop/canberracontext.h"
#include "platform/paths.h"

#include <QCoreApplication>

#include <canberra.h>

using namespace Qt::StringLiterals;

namespace {

// Theme sound names are words joined by '-'; nothing that could name a path.
bool isPlainSoundName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\') &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

} // namespace

CanberraSoundPlayer::CanberraSoundPlayer(const QString &soundFolder, QObject *parent)
    : SoundPlayer(parent), m_soundFolder(soundFolder), m_worker(std::make_unique<ThreadHandOff>(&m_thread))
{
    m_thread.setObjectName(u"sounds"_s);
    m_thread.start();
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    // Destroying the context stops its sounds and their callbacks before this object goes. It goes
    // on its thread, unless that no longer handles events (the application is closing): then it
    // goes here once the thread has ended.
    m_worker->runAndWait([this] { m_context.reset(); });
    m_thread.quit();
    m_thread.wait();
    m_context.reset();
    m_worker.reset();
}

CanberraSoundPlayer &CanberraSoundPlayer::sharedInstance()
{
    static CanberraSoundPlayer *const instance = [] {
        auto *player = new CanberraSoundPlayer(defaultSoundFolder());
        if (auto *app = QCoreApplication::instance())
            player->setParent(app);
        return player;
    }();
    return *instance;
}

QString CanberraSoundPlayer::defaultSoundFolder()
{
    return Paths::cachesFolder() + u"/sounds"_s;
}

QStringList CanberraSoundPlayer::soundNames() const
{
    return BundledSounds::names();
}

void CanberraSoundPlayer::beep()
{
    play(beepSound);
}

void CanberraSoundPlayer::play(const QString &name)
{
    if (!isPlainSoundName(name)) {
        m_mainThread.post([this, name] { report(name, u"not a sound name"_s); });
        return;
    }
    const std::uint32_t id = ++m_lastId;
    m_worker->post([this, id, name] { playOnWorker(id, name); });
}

void CanberraSoundPlayer::playOnWorker(std::uint32_t id, const QString &name)
{
    const auto failed = [this, name](const QString &reason) {
        m_mainThread.post([this, name, reason] { report(name, reason); });
    };
    QString property = QString::fromLatin1(CA_PROP_EVENT_ID);
    QString value = name;
    if (BundledSounds::contains(name)) {
        QString error;
        value = BundledSounds::file(name, m_soundFolder, &error);
        if (value.isEmpty())
            return failed(error);
        property = QString::fromLatin1(CA_PROP_MEDIA_FILENAME);
    }
    if (!m_context)
        m_context = std::make_unique<CanberraContext>(
            [this](std::uint32_t finishedId, int error) { finishedOnLibraryThread(finishedId, error); });
    {
        std::lock_guard lock(m_pendingMutex);
        m_pending.emplace(id, name);
    }
    const int error = m_context->play(id, property.toLatin1().constData(), value);
    if (error != CA_SUCCESS) {
        std::lock_guard lock(m_pendingMutex);
        m_pending.erase(id);
        failed(CanberraContext::errorText(error));
    }
}

// libcanberra may call this more than once for a sound (again when the context is destroyed):
// only the first call counts.
void CanberraSoundPlayer::finishedOnLibraryThread(std::uint32_t id, int error)
{
    QString name;
    {
        std::lock_guard lock(m_pendingMutex);
        const auto found = m_pending.find(id);
        if (found == m_pending.end())
            return;
        name = found->second;
        m_pending.erase(found);
    }
    const QString failure = error == CA_SUCCESS ? QString() : CanberraContext::errorText(error);
    m_mainThread.post([this, name, failure] { report(name, failure); });
}

void CanberraSoundPlayer::report(const QString &name, const QString &failure)
{
    if (failure.isEmpty()) {
        Q_EMIT played(name);
        return;
    }
    qWarning("Cannot play the sound \"%s\": %s", qPrintable(name), qPrintable(failure));
    Q_EMIT playFailed(name, failure);
}
