#pragma once

#include "cli/clirequest.h"

#include <QStringList>

// The program's command-line syntax: the headless ticker, the scripting commands and the
// common --help and --version.
class CommandLine {
public:
    // Reads the arguments (the program name first). At most one command; --refresh-once may
    // accompany --list-feeds.
    static CliRequest parse(const QStringList &arguments);
    static QString helpText();
};
