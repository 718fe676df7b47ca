#pragma once

#include "cli/clirequest.h"

#include <QString>

class DatasourceManager;
class UserDefaults;

// Runs what the command line asks for against the user's profile: the headless ticker, the
// one-pass refresh and the scripting commands. Main thread; the application object exists.
class CliApplication {
public:
    explicit CliApplication(UserDefaults &defaults) : m_defaults(defaults) {}

    // Help, version and command-line errors, which need no profile; -1 for any other request.
    static int answerWithoutProfile(const CliRequest &request);

    // The exit status (ExitCode) of the request.
    int run(const CliRequest &request);

private:
    int runWithManager(const CliRequest &request, DatasourceManager &manager);
    int runHeadless(DatasourceManager &manager);
    int runRefreshOnce(DatasourceManager &manager, bool listFeeds);
    void printHeadlines(DatasourceManager &manager) const;
    bool saveSettings();
    // Saves every feed's item file; false, with each failure on standard error, when one could not be.
    static bool saveEntries(DatasourceManager &manager);
    static void limitMallocArenas();

    UserDefaults &m_defaults;
    QString m_reportedSettingsError;
};
