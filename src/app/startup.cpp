#include "app/startup.h"

#include "app/defaultsettings.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

using namespace Qt::StringLiterals;

// Resources of a static library must be registered by hand, outside any namespace.
static void registerApplicationResources()
{
    Q_INIT_RESOURCE(app);
}

void Startup::prepareUserDefaults(UserDefaults &defaults,
                                  const std::function<void()> &transformToForegroundApplication)
{
    registerApplicationResources();

    // An existing list, even an empty one, is the user's choice and stays.
    if (!defaults.objectForKey(SettingsKey::feeds).isValid())
        defaults.setObject(DefaultSettings::defaultFeedList(), SettingsKey::feeds);

    QVariantMap registered;
    for (const auto &[key, value] : DefaultSettings::registeredDefaults())
        registered.insert(key, value);
    defaults.registerDefaults(registered);

    defaults.setObject(u"WhenScrolling"_s, SettingsKey::appleShowScrollBars);

    if (!defaults.objectForKey(SettingsKey::firstRun).isValid()) {
        defaults.setObject(false, SettingsKey::firstRun);
        defaults.setObject(u"Submarine"_s, SettingsKey::soundName);
    }

    if (defaults.boolForKey(SettingsKey::showInDock) && transformToForegroundApplication)
        transformToForegroundApplication();
}
