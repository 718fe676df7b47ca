// vantrel_prefsscreenshots <folder>: writes prefs-<pane>.png for each pane of the preferences
// window, shown offscreen over a throw-away profile with a few feeds from a loopback feed server.
#include "app/defaultsettings.h"
#include "feedsimserver.h"
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
#include "prefs/feedtablemodel.h"
#include "prefs/preferencescontroller.h"
#include "prefs/rsspreferencescontroller.h"
#include "services/loginitems/loginitemregistry.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
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

// Feeds served by a loopback feed server, one of them missing, one with colours of its own, and
// one on a port where nothing answers; their first refreshes end before the pictures are taken.
void subscribe(DatasourceManager &manager, const QString &server)
{
    struct Feed {
        QString url;
        QString name;
        QColor font, background;
    };
    const Feed feeds[] = {
        {server + u"/rss/science.xml?entries=12"_s, u"Science"_s, {}, {}},
        {server + u"/rss/city.xml?entries=30"_s, u"City news"_s, QColor(255, 214, 102), QColor(40, 62, 96)},
        {server + u"/bad/status/404"_s, u"Old blog"_s, {}, {}},
        {u"http://127.0.0.1:9/town.xml"_s, QString(), {}, {}}};
    for (const Feed &feed : feeds) {
        const auto source = manager.addFeedWithURL(feed.url);
        if (!source)
            continue;
        if (!feed.name.isEmpty())
            source->setCustomName(feed.name);
        if (feed.font.isValid()) {
            source->setUserDefaults(feed.font, SettingsKey::fontColor);
            source->setUserDefaults(feed.background, SettingsKey::backgroundColor);
        }
    }
}

// Asks the feeds that have not been read yet, as far as the refresh slots go; true when all have.
bool readEveryFeed(const DatasourceManager &manager)
{
    bool done = true;
    for (const auto &source : manager.datasources()) {
        auto *feed = dynamic_cast<RSSDatasource *>(source.get());
        if (!feed || (!feed->isRunning() && !feed->httpStatus().isEmpty()))
            continue;
        done = false;
        if (!feed->isRunning())
            feed->requestRefresh();
    }
    return done;
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
    FeedSimServer server;
    if (server.start() < 0) {
        std::fprintf(stderr, "cannot start the feed server\n");
        return 1;
    }
    subscribe(manager, QString::fromStdString(server.baseUrl()));
    QDeadlineTimer deadline(20000);
    while (!readEveryFeed(manager) && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    CanberraSoundPlayer player(home.path() + u"/sounds"_s);
    XdgUrlSchemeHandlers handlers;
    XdgAutostart autostart;
    LoginItemRegistry loginItems(autostart);
    FreedesktopNotifications notifications(QDBusConnection(u"no-bus"_s));
    PreferencesController window(PreferencesServices{defaults, manager, player, handlers, loginItems,
                                                     notifications, nullptr, QString(),
                                                     u"org.vantrel.Vantrel.desktop"_s});
    window.setResizeDuration(0);
    // Away from the pointer, which rests at the screen's origin: the item under it would be drawn
    // hovered.
    window.move(50, 50);
    window.show();
    const std::pair<int, const char16_t *> panes[] = {
        {PreferencesController::GeneralTag, u"general"},
        {PreferencesController::FeedsTag, u"feeds"},
        {PreferencesController::ReaderServiceTag, u"reader-service"},
        {PreferencesController::AppearanceTag, u"appearance"},
        {PreferencesController::NotificationsTag, u"notifications"}};
    int failures = 0;
    window.rssPreferencesController()->tableModel().reload();
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
    server.stop();
    return failures == 0 ? 0 : 1;
}
