#include "platform/desktop/bundledsounds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initSoundResources()
{
    Q_INIT_RESOURCE(sounds);
}

namespace {

const QString resourceFolder = u":/sounds"_s;
const QString extension = u".wav"_s;

QString resourcePath(const QString &name)
{
    return resourceFolder + u'/' + name + extension;
}

} // namespace

QStringList BundledSounds::names()
{
    static const QStringList names = [] {
        initSoundResources();
        QStringList found;
        const QStringList files =
            QDir(resourceFolder).entryList({u"*"_s + extension}, QDir::Files, QDir::Name);
        for (const QString &file : files)
            found.append(file.chopped(extension.size()));
        return found;
    }();
    return names;
}

bool BundledSounds::contains(const QString &name)
{
    return names().contains(name);
}

QString BundledSounds::file(const QString &name, const QString &folder, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return QString();
    };
    if (!contains(name))
        return fail(u"\"%1\" is not a bundled sound"_s.arg(name));
    QFile resource(resourcePath(name));
    if (!resource.open(QIODevice::ReadOnly))
        return fail(resource.errorString());
    const QByteArray sound = resource.readAll();

    const QString path = folder + u'/' + name + extension;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == sound.size() && existing.readAll() == sound)
        return path;
    if (!QDir().mkpath(folder))
        return fail(u"cannot create the folder %1"_s.arg(folder));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(sound) < 0 || !out.commit())
        return fail(u"cannot write %1: %2"_s.arg(path, out.errorString()));
    return path;
}
