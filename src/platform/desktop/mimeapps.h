#pragma once

#include <QString>
#include <QStringList>

class DesktopApplications;

// Which applications handle a MIME type, or a URL scheme as "x-scheme-handler/<scheme>": the
// freedesktop mimeapps.list files read in their order of precedence (XDG_CONFIG_HOME, then
// XDG_CONFIG_DIRS, then the applications folders of XDG_DATA_HOME and XDG_DATA_DIRS; in each,
// "<desktop>-mimeapps.list" for each of XDG_CURRENT_DESKTOP before "mimeapps.list"), and the
// installed desktop files, as xdg-mime reads them.
namespace MimeApps {
inline const QString defaultGroup = QStringLiteral("Default Applications");
inline const QString addedGroup = QStringLiteral("Added Associations");
inline const QString removedGroup = QStringLiteral("Removed Associations");

// The mimeapps.list paths in order of precedence, whether they exist or not.
QStringList listFiles();

// The id of the default application: the first installed one named under [Default Applications]
// in the first file that names one, else the first of applications(). Empty when there is none.
QString defaultApplication(const QString &mimeType, const DesktopApplications &installed);

// Every installed application for the type: the [Added Associations] of the files in order, then
// the desktop files that declare the type, each once, without those a file of higher precedence
// removed ([Removed Associations]).
QStringList applications(const QString &mimeType, const DesktopApplications &installed);

// Makes the application the default in $XDG_CONFIG_HOME/mimeapps.list, as
// "xdg-mime default <id> <type>" does, keeping every other line of the file. The file is replaced
// whole or not at all. False, with the reason in `error`, when the id or the type is not a plain
// name, or the file cannot be read or written.
bool setDefaultApplication(const QString &mimeType, const QString &id, QString *error);

// "x-scheme-handler/<scheme>".
QString schemeType(const QString &scheme);
} // namespace MimeApps
