#pragma once

#include <QString>

// The folders Vantrel keeps its files in, after the XDG base directory rules. Tests point
// them at a temporary home by setting HOME and the XDG variables.
class Paths {
public:
    // $XDG_CONFIG_HOME/vantrel (default ~/.config/vantrel): the settings file.
    static QString configFolder();
    // $XDG_CACHE_HOME/org.vantrel.Vantrel (default ~/.cache/...): the per-feed item files.
    static QString cachesFolder();

    // Creates the folder and any missing parents; false (and a logged warning) when it cannot.
    static bool ensureFolder(const QString &path);
};
