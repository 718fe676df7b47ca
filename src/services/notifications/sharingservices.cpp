#include "services/notifications/sharingservices.h"

#include "platform/desktop/freedesktopnotifications.h"

bool sharingServicesAvailable()
{
    return sharingServicesAvailable(FreedesktopNotifications::sharedInstance());
}

bool sharingServicesAvailable(const NotificationBus &bus)
{
    return bus.isServerAvailable();
}
