#pragma once

#include "app/desktopstart.h"
#include "app/preferencesopener.h"
#include "app/tickerwindow.h"

// The program's real windows for the desktop start: the ticker bar, and the preferences that
// its preferences and add buttons open.
namespace DesktopWindows {
DesktopStart::Windows make(DatasourceManager &manager, UserDefaults &defaults);
} // namespace DesktopWindows
