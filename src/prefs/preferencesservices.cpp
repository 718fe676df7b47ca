#include "prefs/preferencesservices.h"

#include "model/manager/datasourcemanager.h"
#include "model/stars/starmanager.h"
#include "platform/desktop/applicationdesktopfile.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/userdefaults.h"
#include "services/loginitems/loginitemregistry.h"

PreferencesServices PreferencesServices::shared()
{
    static XdgUrlSchemeHandlers handlers;
    return PreferencesServices{
        UserDefaults::standardUserDefaults(),  DatasourceManager::sharedInstance(),
        CanberraSoundPlayer::sharedInstance(), handlers,
        LoginItemRegistry::shared(),           FreedesktopNotifications::sharedInstance(),
        &StarManager::sharedInstance(),        ApplicationDesktopFile::userPath(),
        ApplicationDesktopFile::id()};
}
