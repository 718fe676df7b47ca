#pragma once

#include <functional>

class UserDefaults;

// Prepares the settings store before anything else starts.
namespace Startup {
// Seeds the subscription list on the very first launch, registers the default settings, writes the
// values every launch and the first launch record, and, when the user wants a taskbar presence,
// calls transformToForegroundApplication (the GUI front end supplies it; it may be empty).
void prepareUserDefaults(UserDefaults &defaults,
                         const std::function<void()> &transformToForegroundApplication);
} // namespace Startup
