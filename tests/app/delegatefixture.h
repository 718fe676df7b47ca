#pragma once

#include "app/preferencesopener.h"
#include "app/vantrelappdelegate.h"
#include "app/widgettickerwindow.h"
#include "common/xdgsandbox.h"
#include "model/manager/datasourcemanager.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// The preferences window as the shell sees it: what it was asked to do, in order.
class RecordingPreferences final : public PreferencesOpener {
public:
    void showPreferences() override { calls.append(QStringLiteral("show")); }
    void addFeed(const QUrl &address) override
    {
        calls.append(QStringLiteral("add ") + address.toString(QUrl::FullyEncoded));
    }
    void importOpml() override { calls.append(QStringLiteral("import")); }
    QStringList calls;
};

// A delegate on a real manager, settings store and desktop-file lookup in a sandboxed home, with
// a plain window standing in for the bar.
class DelegateTest : public testing::Test {
protected:
    static inline const QString applicationId = QStringLiteral("org.vantrel.Vantrel.desktop");

    DelegateTest()
        : defaults(sandbox.configHome() + QStringLiteral("/vantrel")), clock(QDateTime::currentDateTimeUtc()),
          reachability(defaults)
    {
        defaults.registerDefaults({{SettingsKey::showInDock, true},
                                   {SettingsKey::checkHandlerOnStartup, true},
                                   {SettingsKey::reachabilityHost, QStringLiteral("127.0.0.1")}});
        defaults.setObject(QVariantList(), SettingsKey::feeds);
    }

    ~DelegateTest() override
    {
        delegate.reset();
        if (manager)
            manager->close();
    }

    // The delegate of a program at `version`, started: the state the user meets.
    VantrelAppDelegate &launch(const QString &version = QStringLiteral("100"))
    {
        makeDelegate(version);
        delegate->applicationDidFinishLaunching();
        return *delegate;
    }

    VantrelAppDelegate &makeDelegate(const QString &version = QStringLiteral("100"))
    {
        delegate.reset();
        DatasourceManager::Options options;
        options.startTimers = false;
        manager = std::make_unique<DatasourceManager>(defaults, clock, reachability, options);
        const VantrelAppDelegate::Bundle bundle{version, applicationId, QStringLiteral("/usr/bin/vantrel"),
                                                QStringLiteral("vantrel")};
        delegate = std::make_unique<VantrelAppDelegate>(
            VantrelAppDelegate::Parts{defaults, *manager, mainWindow, preferences, schemeHandlers}, bundle);
        delegate->quitDeadlineAction = [] { ADD_FAILURE() << "the save at quit passed its time limit"; };
        delegate->askToRestart = [this] {
            ++restartQuestions;
            return answerRestart;
        };
        return *delegate;
    }

    // An installed feed reader with this desktop file id.
    void installReader(const QString &id)
    {
        XdgSandbox::writeApplication(sandbox.userApplications(), id, id.section(u'.', 0, 0),
                                     {QStringLiteral("x-scheme-handler/feed")});
    }

    QString defaultFeedReader() const { return schemeHandlers.defaultHandler(QStringLiteral("feed")); }

    XdgSandbox sandbox;
    UserDefaults defaults;
    ManualClock clock;
    Reachability reachability;
    XdgUrlSchemeHandlers schemeHandlers;
    QWidget bar;
    WidgetTickerWindow mainWindow{&bar};
    RecordingPreferences preferences;
    std::unique_ptr<DatasourceManager> manager;
    std::unique_ptr<VantrelAppDelegate> delegate;
    int restartQuestions = 0;
    bool answerRestart = false;
};
