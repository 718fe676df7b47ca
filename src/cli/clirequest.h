#pragma once

#include <QString>

// What the command line asks for.
struct CliRequest {
    enum class Command {
        None, // no command: the regular program
        Help,
        Version,
        Headless, // run the ticker in the terminal
        ListFeeds,
        AddFeed,    // argument: the address
        DeleteFeed, // argument: the feed (number, address or uuid)
        EnableFeed,
        DisableFeed,
        ImportOpml,  // argument: the file
        ExportOpml,  // argument: the file, or "-" for standard output
        RefreshOnce, // refresh every feed once, print the merged list
    };

    Command command = Command::None;
    QString argument;
    // Without a command: the feed: link or address the program was started with, if any.
    QString link;
    // With ListFeeds: refresh every feed once first, so that the list shows each feed's result.
    bool refreshFirst = false;
    // Set when the command line is wrong; says why.
    QString errorString;

    // Whether the command writes the settings or the item files.
    bool changesProfile() const
    {
        switch (command) {
        case Command::None:
        case Command::Help:
        case Command::Version:
        case Command::ExportOpml:
            return false;
        case Command::ListFeeds:
            return refreshFirst;
        default:
            return true;
        }
    }
};
