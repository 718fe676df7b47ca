#include "ticker/bar/desktopmotion.h"

#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

bool DesktopMotion::prefersReducedMotion()
{
    const QString gsettings = QStandardPaths::findExecutable(u"gsettings"_s);
    if (gsettings.isEmpty())
        return false;
    QProcess process;
    process.start(gsettings, {u"get"_s, u"org.gnome.desktop.interface"_s, u"enable-animations"_s});
    if (!process.waitForFinished(1000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitCode() == 0 && process.readAllStandardOutput().trimmed() == "false";
}
