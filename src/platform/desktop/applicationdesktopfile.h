#pragma once

#include <QByteArray>
#include <QString>

// Vantrel's own desktop file: it names Vantrel to the desktop as a handler of feed: links
// ("Exec=<program> %u") and is the file an autostart entry is made from.
namespace ApplicationDesktopFile {
// The desktop file id, the bundle identifier with ".desktop": how the desktop names Vantrel.
QString id();
// $XDG_DATA_HOME/applications/<id>: where install() puts it for the user.
QString userPath();
// The file for the program at `executable` (an absolute path).
QByteArray contents(const QString &executable);
// Writes userPath() when it is missing or differs; false, with the reason in `error`, when it cannot.
bool install(const QString &executable, QString *error);
// The executable as one argument of an Exec line, quoted and escaped as desktop files require.
QString execArgument(const QString &executable);
} // namespace ApplicationDesktopFile
