#include "xdgsandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Variables through which a desktop session would change the lookups.
const char *const sessionVariables[] = {"XDG_CURRENT_DESKTOP", "XDG_MENU_PREFIX",          "DESKTOP_SESSION",
                                        "KDE_FULL_SESSION",    "GNOME_DESKTOP_SESSION_ID", "DISPLAY",
                                        "WAYLAND_DISPLAY"};

} // namespace

XdgSandbox::XdgSandbox()
{
    QDir().mkpath(systemConfig());
    QDir().mkpath(systemData());
    set("XDG_CONFIG_DIRS", systemConfig().toLocal8Bit());
    set("XDG_DATA_DIRS", systemData().toLocal8Bit());
    for (const char *name : sessionVariables)
        unset(name);
}

XdgSandbox::~XdgSandbox()
{
    for (const auto &[name, saved] : m_saved) {
        if (saved.first)
            qputenv(name.constData(), saved.second);
        else
            qunsetenv(name.constData());
    }
}

QString XdgSandbox::systemConfig() const
{
    return m_home.path() + u"/system/xdg"_s;
}

QString XdgSandbox::systemData() const
{
    return m_home.path() + u"/system/share"_s;
}

void XdgSandbox::set(const char *name, const QByteArray &value)
{
    m_saved.emplace(QByteArray(name), std::make_pair(qEnvironmentVariableIsSet(name), qgetenv(name)));
    qputenv(name, value);
}

void XdgSandbox::unset(const char *name)
{
    m_saved.emplace(QByteArray(name), std::make_pair(qEnvironmentVariableIsSet(name), qgetenv(name)));
    qunsetenv(name);
}

QString XdgSandbox::writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString XdgSandbox::writeApplication(const QString &folder, const QString &id, const QString &name,
                                     const QStringList &mimeTypes, const QString &exec)
{
    QString text = u"[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %u\n"_s.arg(name, exec);
    if (!mimeTypes.isEmpty())
        text += u"MimeType=%1;\n"_s.arg(mimeTypes.join(u';'));
    return writeFile(folder + u'/' + id, text.toUtf8());
}
