#pragma once

#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "common/xdgsandbox.h"
#include "model/entry/itemkeys.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/itemfile.h"
#include "model/source/rssdatasource.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/xdgautostart.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/dialoganswers.h"
#include "prefs/preferencescontroller.h"
#include "services/loginitems/loginitemregistry.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Reachability that always answers yes: the manager's rounds are not run in these tests.
class LoopbackReachability : public Reachability {
public:
    using Reachability::Reachability;
    bool isReachable() const override { return true; }
};

// The preferences window over real parts in a sandboxed home: the settings store with the
// application's defaults, a manager of the feeds the test stores first, the desktop's scheme
// handlers and autostart folder, the sound player on the null device, and a notification client
// whose bus the test chooses.
class PrefsFixture : public ::testing::Test {
protected:
    PrefsFixture()
    {
        qputenv("CANBERRA_DRIVER", "alsa");
        qputenv("CANBERRA_DEVICE", "null");
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::fontSize, 12},
                                   {SettingsKey::itemHeight, 78},
                                   {SettingsKey::imageWidth, 65},
                                   {SettingsKey::opacity, 0.75},
                                   {SettingsKey::gradientAngle, -1.0},
                                   {SettingsKey::backgroundColor, QColor(0, 0, 0)},
                                   {SettingsKey::fontColor, QColor(255, 255, 255)},
                                   {SettingsKey::markFontColor, QColor::fromRgbF(1.0f, 0.8f, 0.4f)},
                                   {SettingsKey::fontName, QStringLiteral("Helvetica")},
                                   {SettingsKey::displayImage, true},
                                   {SettingsKey::showInDock, true},
                                   {SettingsKey::enablePreview, true},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::notificationCenterLevel, 5},
                                   {SettingsKey::checkHandlerOnStartup, true},
                                   {SettingsKey::location, 0},
                                   {SettingsKey::alwaysOnTop, false},
                                   {SettingsKey::reachabilityHost, QStringLiteral("127.0.0.1")}});
        defaults.setObject(QStringLiteral("Submarine"), SettingsKey::soundName);
        DialogAnswers::clear();
    }

    ~PrefsFixture() override
    {
        window.reset();
        if (manager)
            manager->close();
        DialogAnswers::clear();
    }

    // A feed in "feeds" (before the manager exists) with stored entries; returns its uuid.
    QString storeFeed(const QString &name, const QString &url, const QVariantMap &own = {}, int entries = 0)
    {
        const QString uuid = QStringLiteral("FEED-%1").arg(++feedCount);
        QVariantMap entry{{QStringLiteral("uuid"), uuid},
                          {QStringLiteral("name"), name},
                          {QStringLiteral("url"), url},
                          {QStringLiteral("enabled"), true}};
        for (auto it = own.cbegin(); it != own.cend(); ++it)
            entry.insert(it.key(), it.value());
        defaults.updateObject(SettingsKey::feeds,
                              [&](const QVariant &current) { return QVariant(current.toList() << entry); });
        QList<DataItemPtr> items;
        for (int i = 0; i < entries; ++i) {
            auto item = std::make_shared<DataItem>();
            item->setObject(QStringLiteral("%1 #%2").arg(name).arg(i), ItemKey::title);
            item->setObject(QStringLiteral("%1-%2").arg(uuid).arg(i), ItemKey::guid);
            item->setObject(QDateTime::currentDateTimeUtc().addSecs(-60 * (i + 1)), ItemKey::parsedDate);
            items.append(item);
        }
        EXPECT_TRUE(ItemFile(uuid).save(items));
        return uuid;
    }

    // An address on the discard port: refreshes of it fail at once without traffic.
    static QString deadUrl(const QString &path) { return QStringLiteral("http://127.0.0.1:9/") + path; }

    DatasourceManager &makeManager()
    {
        DatasourceManager::Options options;
        options.startTimers = false;
        options.saveDelayMs = 0;
        manager = std::make_unique<DatasourceManager>(defaults, Clock::system(), reachability, options);
        return *manager;
    }

    PreferencesServices services()
    {
        if (!manager)
            makeManager();
        return PreferencesServices{defaults,
                                   *manager,
                                   player,
                                   handlers,
                                   loginItems,
                                   notifications,
                                   nullptr,
                                   vantrelDesktopFile(),
                                   QStringLiteral("org.vantrel.Vantrel.desktop")};
    }

    PreferencesController &openWindow(int tag = PreferencesController::GeneralTag)
    {
        window = std::make_unique<PreferencesController>(services());
        window->setResizeDuration(0);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->showPane(tag);
        return *window;
    }

    template <typename T> T *find(const QString &objectName) const
    {
        T *found = window->findChild<T *>(objectName);
        EXPECT_NE(found, nullptr) << qPrintable(objectName);
        return found;
    }

    // A click on the box of a check box or radio button (its middle may lie past its label).
    static void clickBox(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // The alerts shown over the window, newest last.
    QStringList alerts() const
    {
        QStringList texts;
        for (const QMessageBox *box : window->findChildren<QMessageBox *>(QStringLiteral("alert")))
            texts.append(box->text());
        return texts;
    }

    std::shared_ptr<Datasource> source(int index) const { return manager->datasources().value(index); }
    RSSDatasource *feed(int index) const { return dynamic_cast<RSSDatasource *>(source(index).get()); }

    QVariantMap feedEntry(int index) const
    {
        return defaults.arrayForKey(SettingsKey::feeds).value(index).toMap();
    }

    QString vantrelDesktopFile() const
    {
        return sandbox.userApplications() + QStringLiteral("/org.vantrel.Vantrel.desktop");
    }

    XdgSandbox sandbox;
    UserDefaults defaults{sandbox.configHome() + QStringLiteral("/vantrel")};
    LoopbackReachability reachability{defaults};
    std::unique_ptr<DatasourceManager> manager;
    QTemporaryDir soundFolder;
    CanberraSoundPlayer player{soundFolder.path()};
    XdgUrlSchemeHandlers handlers;
    XdgAutostart autostart;
    LoginItemRegistry loginItems{autostart};
    FreedesktopNotifications notifications{QDBusConnection(QStringLiteral("prefs-test-no-bus")), 500};
    std::unique_ptr<PreferencesController> window;
    int feedCount = 0;
};
