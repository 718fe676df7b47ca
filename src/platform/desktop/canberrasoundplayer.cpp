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
    : SoundPlayer(parent), m_soundFolder(soundFolder), m_workerContext(std::make_unique<QObject>())
{
    m_thread.setObjectName(u"sounds"_s);
    m_workerContext->moveToThread(&m_thread);
    m_thread.start();
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    // Destroying the context stops its sounds and their callbacks before this object goes.
    QMetaObject::invokeMethod(
        m_workerContext.get(), [this] { m_context.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    // Its thread has ended, so it can go from here.
    m_workerContext.reset();
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
        QMetaObject::invokeMethod(
            this, [this, name] { report(name, u"not a sound name"_s); }, Qt::QueuedConnection);
        return;
    }
    const std::uint32_t id = ++m_lastId;
    QMetaObject::invokeMethod(m_workerContext.get(), [this, id, name] { playOnWorker(id, name); });
}

void CanberraSoundPlayer::playOnWorker(std::uint32_t id, const QString &name)
{
    const auto failed = [this, name](const QString &reason) {
        QMetaObject::invokeMethod(this, [this, name, reason] { report(name, reason); });
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
    QMetaObject::invokeMethod(this, [this, name, failure] { report(name, failure); });
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
