#pragma once

#include <QString>

class DatasourceManager;
class LoginItemRegistry;
class NotificationBus;
class SoundPlayer;
class StarManager;
class UrlSchemeHandlers;
class UserDefaults;

// What the preferences window works on. The application passes its shared objects (shared());
// tests pass their own, made in a temporary home.
struct PreferencesServices {
    UserDefaults &defaults;
    DatasourceManager &manager;
    SoundPlayer &sounds;
    UrlSchemeHandlers &schemeHandlers;
    LoginItemRegistry &loginItems;
    const NotificationBus &notifications;
    StarManager *stars = nullptr;
    // Vantrel's desktop file: what a login item starts, and Vantrel's id among the feed readers.
    QString applicationDesktopFile;
    QString applicationId;

    static PreferencesServices shared();
};
