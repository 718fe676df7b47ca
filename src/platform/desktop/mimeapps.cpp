#include "platform/desktop/mimeapps.h"

#include "platform/desktop/desktopapplications.h"
#include "platform/desktop/keyfile.h"
#include "platform/desktop/xdgbasedirs.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

QStringList filesIn(const QString &dir)
{
    QStringList files;
    for (const QString &desktop : XdgBaseDirs::currentDesktops())
        files.append(dir + u'/' + desktop + u"-mimeapps.list"_s);
    files.append(dir + u"/mimeapps.list"_s);
    return files;
}

std::vector<KeyFile> readableListFiles()
{
    std::vector<KeyFile> files;
    for (const QString &path : MimeApps::listFiles()) {
        QString error;
        if (std::optional<KeyFile> file = KeyFile::read(path, true, &error))
            files.push_back(std::move(*file));
        else
            qWarning("Skipping an association file: %s", qPrintable(error));
    }
    return files;
}

// Names written into the file must not be able to start a line, a group or another entry.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.size() > 255)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() != 0x7f && c != u';' && c != u'=' && c != u'[' &&
               c != u']' && c != u'\\';
    });
}

} // namespace

QString MimeApps::schemeType(const QString &scheme)
{
    return u"x-scheme-handler/"_s + scheme.toLower();
}

QStringList MimeApps::listFiles()
{
    QStringList files = filesIn(XdgBaseDirs::configHome());
    for (const QString &dir : XdgBaseDirs::configDirs())
        files += filesIn(dir);
    for (const QString &dir : XdgBaseDirs::applicationDirs())
        files += filesIn(dir);
    return files;
}

QString MimeApps::defaultApplication(const QString &mimeType, const DesktopApplications &installed)
{
    for (const KeyFile &file : readableListFiles()) {
        for (const QString &id : file.list(defaultGroup, mimeType)) {
            if (installed.find(id.trimmed()))
                return id.trimmed();
        }
    }
    return applications(mimeType, installed).value(0);
}

QStringList MimeApps::applications(const QString &mimeType, const DesktopApplications &installed)
{
    QStringList found;
    QStringList removed;
    const auto add = [&](const QString &id) {
        if (!removed.contains(id) && !found.contains(id) && installed.find(id))
            found.append(id);
    };
    for (const KeyFile &file : readableListFiles()) {
        for (const QString &id : file.list(addedGroup, mimeType))
            add(id.trimmed());
        for (const QString &id : file.list(removedGroup, mimeType))
            removed.append(id.trimmed());
    }
    for (const DesktopApplications::Application *application : installed.declaring(mimeType))
        add(application->id);
    return found;
}

bool MimeApps::setDefaultApplication(const QString &mimeType, const QString &id, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!isPlainName(mimeType) || !mimeType.contains(u'/'))
        return fail(u"\"%1\" is not a MIME type"_s.arg(mimeType));
    if (!isPlainName(id) || id.contains(u'/') || !id.endsWith(u".desktop"_s))
        return fail(u"\"%1\" is not a desktop file id"_s.arg(id));

    const QString folder = XdgBaseDirs::configHome();
    const QString path = folder + u"/mimeapps.list"_s;
    QString readError;
    std::optional<KeyFile> file = KeyFile::read(path, true, &readError);
    if (!file)
        return fail(readError);
    file->setRawValue(defaultGroup, mimeType, id + u';');

    if (!QDir().mkpath(folder))
        return fail(u"cannot create the folder %1"_s.arg(folder));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file->toText()) < 0 || !out.commit())
        return fail(u"cannot write %1: %2"_s.arg(path, out.errorString()));
    return true;
}
