#include "app/relauncher.h"

#include <QProcess>

using namespace Qt::StringLiterals;

bool Relauncher::relaunchAfterExit(const QString &executable, qint64 pid, QString *error)
{
    // Waiting for the old process, rather than a fixed pause, keeps the new one from finding the
    // old one still running (it would hand over to it and end) however long the save at quit takes.
    static const QString script = u"i=0; while [ $i -lt 100 ] && kill -0 \"$1\" 2>/dev/null; do "
                                  u"sleep 0.1; i=$((i+1)); done; exec \"$0\""_s;
    QProcess shell;
    shell.setProgram(u"/bin/sh"_s);
    shell.setArguments({u"-c"_s, script, executable, QString::number(pid)});
    shell.setStandardInputFile(QProcess::nullDevice());
    if (!shell.startDetached()) {
        if (error)
            *error = u"Cannot start /bin/sh to restart Vantrel: %1"_s.arg(shell.errorString());
        return false;
    }
    return true;
}
