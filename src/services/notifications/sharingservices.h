#pragma once

class NotificationBus;

// Whether the desktop has a notification server, running or ready to start: the notification
// settings and the notification work depend on it. (Sharing by e-mail and the clipboard is always
// possible.) The first form asks the session bus, through the shared notification client.
bool sharingServicesAvailable();
bool sharingServicesAvailable(const NotificationBus &bus);
