#include "app/desktopwindows.h"

#include "app/barwindow.h"
#include "app/preferenceswindow.h"
#include "ticker/bar/mainwindowcontroller.h"

DesktopStart::Windows DesktopWindows::make(DatasourceManager &manager, UserDefaults &defaults)
{
    auto bar = std::make_unique<BarWindow>(manager, defaults);
    auto preferences = std::make_unique<PreferencesWindow>();
    MainWindowController &controller = bar->controller();
    PreferencesWindow *opener = preferences.get();
    // Both live until the program ends; the bar's buttons are answered only while it runs.
    QObject::connect(&controller, &MainWindowController::preferencesRequested, &controller,
                     [opener] { opener->showPreferences(); });
    QObject::connect(&controller, &MainWindowController::addFeedRequested, &controller,
                     [opener] { opener->addFeedFromClipboard(); });
    return DesktopStart::Windows{std::move(bar), std::move(preferences)};
}
