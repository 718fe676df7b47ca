#include "platform/desktop/xdgautostart.h"

#include "platform/desktop/desktopapplications.h"
#include "platform/desktop/keyfile.h"
#include "platform/desktop/xdgbasedirs.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <map>

using namespace Qt::StringLiterals;

namespace {

const QString &group = DesktopApplications::entryGroup;

bool isEnabled(const KeyFile &file)
{
    return file.hasGroup(group) && !file.boolean(group, u"Hidden"_s, false) &&
           file.boolean(group, u"X-GNOME-Autostart-enabled"_s, true);
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

QString XdgAutostart::userFolder()
{
    return XdgBaseDirs::configHome() + u"/autostart"_s;
}

QString XdgAutostart::systemEntryPath(const QString &id)
{
    for (const QString &dir : XdgBaseDirs::configDirs()) {
        const QString path = dir + u"/autostart/"_s + id;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

std::optional<QList<AutostartEntries::Entry>> XdgAutostart::entries(QString *error) const
{
    const QDir user(userFolder());
    if (user.exists() && !QFileInfo(user.path()).isReadable()) {
        fail(error, u"cannot read the folder %1"_s.arg(user.path()));
        return std::nullopt;
    }
    // The user's folder first: the first file of an id decides.
    std::map<QString, QString> pathById;
    QStringList folders{user.path()};
    for (const QString &dir : XdgBaseDirs::configDirs())
        folders.append(dir + u"/autostart"_s);
    for (const QString &folder : std::as_const(folders)) {
        const QStringList names = QDir(folder).entryList({u"*.desktop"_s}, QDir::Files);
        for (const QString &name : names)
            pathById.emplace(name, folder + u'/' + name);
    }

    QList<Entry> found;
    for (const auto &[id, path] : pathById) {
        QString readError;
        const std::optional<KeyFile> file = KeyFile::read(path, false, &readError);
        if (!file) {
            qWarning("Skipping an autostart entry: %s", qPrintable(readError));
            continue;
        }
        if (isEnabled(*file))
            found.append({id, path, file->boolean(group, startHiddenKey, false)});
    }
    return found;
}

bool XdgAutostart::add(const QString &desktopFilePath, bool startHidden, QString *error)
{
    const QFileInfo source(desktopFilePath);
    if (!source.isFile() || source.suffix() != u"desktop"_s)
        return fail(error, u"%1 is not a desktop file"_s.arg(desktopFilePath));
    QString readError;
    std::optional<KeyFile> file = KeyFile::read(desktopFilePath, false, &readError);
    if (!file)
        return fail(error, readError);
    if (file->string(group, u"Type"_s) != u"Application"_s || file->string(group, u"Exec"_s).isEmpty())
        return fail(error, u"%1 does not describe an application"_s.arg(desktopFilePath));

    file->remove(group, u"Hidden"_s);
    file->setRawValue(group, u"X-GNOME-Autostart-enabled"_s, u"true"_s);
    if (startHidden)
        file->setRawValue(group, startHiddenKey, u"true"_s);
    else
        file->remove(group, startHiddenKey);
    return write(source.fileName(), *file, error);
}

bool XdgAutostart::remove(const QString &id, QString *error)
{
    if (id.isEmpty() || id.contains(u'/') || !id.endsWith(u".desktop"_s))
        return fail(error, u"\"%1\" is not a desktop file id"_s.arg(id));
    const QString userPath = userFolder() + u'/' + id;
    const QString systemPath = systemEntryPath(id);
    if (systemPath.isEmpty()) {
        if (!QFileInfo(userPath).isFile())
            return fail(error, u"no autostart entry %1"_s.arg(id));
        if (!QFile::remove(userPath))
            return fail(error, u"cannot remove %1"_s.arg(userPath));
        return true;
    }
    // Deleting the user's file would bring the system's entry back: override it instead.
    QString readError;
    std::optional<KeyFile> file = KeyFile::read(systemPath, false, &readError);
    if (!file)
        return fail(error, readError);
    file->setRawValue(group, u"Hidden"_s, u"true"_s);
    return write(id, *file, error);
}

bool XdgAutostart::write(const QString &id, const KeyFile &file, QString *error)
{
    const QString folder = userFolder();
    if (!QDir().mkpath(folder))
        return fail(error, u"cannot create the folder %1"_s.arg(folder));
    QSaveFile out(folder + u'/' + id);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.toText()) < 0 || !out.commit())
        return fail(error, u"cannot write %1: %2"_s.arg(out.fileName(), out.errorString()));
    return true;
}
