// vantrel_prefsscreenshots <folder>: writes prefs-<pane>.png for each pane of the preferences
// window, shown offscreen over a throw-away profile with a few feeds.
#include "app/defaultsettings.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/rssdatasource.h"
#include "platform/clock.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/xdgautostart.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/preferencescontroller.h"
#include "services/loginitems/loginitemregistry.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void isolate(const QTemporaryDir &home)
{
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QFile::encodeName(home.path() + u'/' + QString::fromLatin1(name)));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.path() + u"/system"_s));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

void subscribe(DatasourceManager &manager)
{
    const std::pair<const char16_t *, const char16_t *> feeds[] = {
        {u"http://127.0.0.1:9/science.xml", u"Science"},
        {u"http://127.0.0.1:9/city.xml", u"City news"},
        {u"feed://twitter.com/statuses/user_timeline/vantrel.rss", nullptr}};
    for (const auto &[url, name] : feeds) {
        if (auto source = manager.addFeedWithURL(QString::fromUtf16(url)); source && name)
            source->setCustomName(QString::fromUtf16(name));
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    isolate(home);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_prefsscreenshots <folder>\n");
        return 2;
    }
    UserDefaults defaults(home.path() + u"/settings"_s);
    QVariantMap registered;
    for (const auto &[key, value] : DefaultSettings::registeredDefaults())
        registered.insert(key, value);
    defaults.registerDefaults(registered);
    defaults.setObject(u"Submarine"_s, SettingsKey::soundName);
    defaults.setObject(QVariantList{u"storm"_s, u"festival"_s}, SettingsKey::keywords);
    Reachability reachability(defaults);
    DatasourceManager::Options options;
    options.startTimers = false;
    DatasourceManager manager(defaults, Clock::system(), reachability, options);
    subscribe(manager);
    CanberraSoundPlayer player(home.path() + u"/sounds"_s);
    XdgUrlSchemeHandlers handlers;
    XdgAutostart autostart;
    LoginItemRegistry loginItems(autostart);
    FreedesktopNotifications notifications(QDBusConnection(u"no-bus"_s));
    PreferencesController window(PreferencesServices{defaults, manager, player, handlers, loginItems,
                                                     notifications, nullptr, QString(),
                                                     u"org.vantrel.Vantrel.desktop"_s});
    window.setResizeDuration(0);
    window.show();
    const std::pair<int, const char16_t *> panes[] = {
        {PreferencesController::GeneralTag, u"general"},
        {PreferencesController::FeedsTag, u"feeds"},
        {PreferencesController::ReaderServiceTag, u"reader-service"},
        {PreferencesController::AppearanceTag, u"appearance"},
        {PreferencesController::NotificationsTag, u"notifications"}};
    int failures = 0;
    for (const auto &[tag, name] : panes) {
        window.showPane(tag);
        QApplication::processEvents();
        const QString file = QDir(QString::fromLocal8Bit(argv[1]))
                                 .filePath(u"prefs-"_s + QString::fromUtf16(name) + u".png"_s);
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    manager.close();
    return failures == 0 ? 0 : 1;
}
