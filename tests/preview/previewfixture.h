#pragma once

#include "common/openedlinks.h"
#include "common/steppinganimationdriver.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/previewhtmlview.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/sharing/sharemanager.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

// The preview on real parts in a temporary home: the settings store, the browser hand-off (links
// reach OpenedLinks instead of a browser), the share menu, the sound player (beeps are counted),
// and animations that move only when the test steps them.
class PreviewFixture : public ::testing::Test {
protected:
    PreviewFixture()
    {
        defaults.registerDefaults({{SettingsKey::fontSize, 12},
                                   {SettingsKey::fontName, QStringLiteral("DejaVu Sans")},
                                   {SettingsKey::alwaysOnTop, true}});
    }

    static DataItemPtr entry(const QString &title, const QString &content,
                             const QString &link = QStringLiteral("https://example.org/story"))
    {
        auto item = std::make_shared<DataItem>();
        item->setObject(title, ItemKey::title);
        if (!content.isNull())
            item->setObject(content, ItemKey::description);
        if (!link.isNull())
            item->setObject(link, ItemKey::link);
        return item;
    }

    // Content of about the given height: an image box of that size.
    static QString contentOfHeight(int height)
    {
        return QStringLiteral("<img src=\"box.png\" width=\"100\" height=\"%1\">").arg(height);
    }

    VTPreviewWindowController &makePreview(const VTPreviewWindowController::Options &options = {})
    {
        preview = std::make_unique<VTPreviewWindowController>(defaults, browser, sharing, player, options);
        return *preview;
    }

    // Shows the entry beside the point and lets every animation finish.
    void show(const DataItemPtr &item, const QPoint &arrow, bool onLeft = true)
    {
        preview->setArrowLocation(arrow, onLeft);
        preview->setDataItem(item);
        clock.advanceBy(1000);
    }

    QWidget &window() const { return *preview->window(); }
    PreviewHtmlView &view() const { return *preview->webView(); }

    static QRect screen() { return QGuiApplication::primaryScreen()->geometry(); }
    static QPoint middleLeft() { return {200, screen().height() / 2}; }
    static QPoint middleRight() { return {screen().width() - 200, screen().height() / 2}; }

    int beeps() const
    {
        int count = 0;
        for (const QSignalSpy *spy : {&played, &failed}) {
            for (const QList<QVariant> &signal : *spy)
                count += signal.at(0).toString() == CanberraSoundPlayer::beepSound;
        }
        return count;
    }

    TempHome home;
    UserDefaults defaults{home.configHome() + QStringLiteral("/vantrel")};
    XdgUrlSchemeHandlers handlers;
    QTemporaryDir soundFolder;
    CanberraSoundPlayer player{soundFolder.path()};
    QSignalSpy played{&player, &SoundPlayer::played};
    QSignalSpy failed{&player, &SoundPlayer::playFailed};
    BrowserSupport browser{defaults, handlers, player};
    ShareManager sharing{browser};
    OpenedLinks opened;
    SteppingAnimationDriver clock;
    std::unique_ptr<VTPreviewWindowController> preview;
};
