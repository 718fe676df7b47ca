#pragma once

#include <functional>
#include <memory>

class DatasourceManager;
class PreferencesOpener;
class TickerWindow;
class UserDefaults;
struct CliRequest;

// The program with its windows: one instance per user (a second start hands its link over and
// ends), the profile locked against the command line, the settings prepared, the delegate's
// start-up, and the save at quit however the quit comes.
namespace DesktopStart {
struct Windows {
    std::unique_ptr<TickerWindow> mainWindow;
    std::unique_ptr<PreferencesOpener> preferences;
};
// Makes the bar and the preferences once the settings and the manager are ready.
using WindowFactory = std::function<Windows(DatasourceManager &, UserDefaults &)>;

// Runs the program to its end and returns the exit status: 0 after a complete save, 1 when
// something could not be saved or the profile is in use; a second start returns 0 once the
// running program has its link, 1 when the link was no feed link.
int run(int &argc, char **argv, const CliRequest &request, const WindowFactory &makeWindows);
} // namespace DesktopStart
