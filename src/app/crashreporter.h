#pragma once

#include <QString>
#include <QStringList>

// What a crash leaves behind: on SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT a short report with
// the program's version, the signal and a backtrace is written to its own file in
// $XDG_STATE_HOME/vantrel/, and the process then ends by the same signal. Settings and item files
// are not touched. The next start offers the reports nobody has seen yet.
namespace CrashReporter {
// $XDG_STATE_HOME/vantrel.
QString defaultFolder();
// Installs the handlers for the rest of the process; false when the folder cannot be made.
bool install(const QString &folder = defaultFolder());
// The reports not offered before, oldest first, marked as offered now (".seen" before the
// extension). Only the newest few reports are kept; older ones are deleted.
QStringList takeUnseenReports(const QString &folder = defaultFolder());
} // namespace CrashReporter
