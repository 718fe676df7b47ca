#pragma once

#include <QString>
#include <QStringList>

// The XDG base directories, read from the environment at each call so that tests can point them
// at a temporary home. A variable counts only when it holds absolute paths; otherwise the
// standard default applies.
namespace XdgBaseDirs {
QString configHome();     // $XDG_CONFIG_HOME, default ~/.config
QStringList configDirs(); // $XDG_CONFIG_DIRS, default /etc/xdg
QString dataHome();       // $XDG_DATA_HOME, default ~/.local/share
QString stateHome();      // $XDG_STATE_HOME, default ~/.local/state
QStringList dataDirs();   // $XDG_DATA_DIRS, default /usr/local/share:/usr/share
// The desktops of $XDG_CURRENT_DESKTOP in lower case, most specific first ("gnome", …).
QStringList currentDesktops();
// dataHome() then dataDirs(), each with "/applications": where desktop files are installed.
QStringList applicationDirs();
} // namespace XdgBaseDirs
