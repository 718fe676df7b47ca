#include "platform/desktop/applicationdesktopfile.h"

#include "buildinfo.h"
#include "platform/desktop/keyfile.h"
#include "platform/desktop/xdgbasedirs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString ApplicationDesktopFile::id()
{
    return QString::fromLatin1(buildinfo::bundleIdentifier) + u".desktop"_s;
}

QString ApplicationDesktopFile::userPath()
{
    return XdgBaseDirs::dataHome() + u"/applications/"_s + id();
}

QString ApplicationDesktopFile::execArgument(const QString &executable)
{
    QString argument;
    bool needsQuotes = executable.isEmpty();
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            argument += u'\\';
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && !QStringView(u"/._+-").contains(c))
            needsQuotes = true;
        argument += c;
    }
    if (needsQuotes)
        argument = u'"' + argument + u'"';
    // A literal percent sign is written twice; %u and the like are field codes.
    return argument.replace(u'%', u"%%"_s);
}

QByteArray ApplicationDesktopFile::contents(const QString &executable)
{
    const QString exec = KeyFile::escapeString(execArgument(executable) + u" %u"_s);
    return u"[Desktop Entry]\n"
           u"Type=Application\n"
           u"Name=%1\n"
           u"GenericName=News Ticker\n"
           u"Comment=Headlines of your RSS and Atom feeds in a bar at the edge of the screen\n"
           u"Exec=%2\n"
           u"Terminal=false\n"
           u"Categories=Network;News;\n"
           u"MimeType=x-scheme-handler/feed;\n"_s.arg(QString::fromLatin1(buildinfo::applicationName), exec)
               .toUtf8();
}

bool ApplicationDesktopFile::install(const QString &executable, QString *error)
{
    const QByteArray text = contents(executable);
    QFile existing(userPath());
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text)
        return true;
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString folder = XdgBaseDirs::dataHome() + u"/applications"_s;
    if (!QDir().mkpath(folder))
        return fail(u"cannot create the folder %1"_s.arg(folder));
    QSaveFile out(userPath());
    if (!out.open(QIODevice::WriteOnly) || out.write(text) < 0 || !out.commit())
        return fail(u"cannot write %1: %2"_s.arg(userPath(), out.errorString()));
    return true;
}
