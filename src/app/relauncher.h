#pragma once

#include <QString>

// Starts the program again once this process has ended. The executable's path reaches the shell
// as an argument, never as part of its script, so quotes, spaces and dollar signs in it are safe.
namespace Relauncher {
// Starts a detached shell that waits until the process `pid` is gone (at most about ten seconds)
// and then runs `executable` with no arguments. False, with the reason in `error`, when the shell
// could not be started.
bool relaunchAfterExit(const QString &executable, qint64 pid, QString *error);
} // namespace Relauncher
