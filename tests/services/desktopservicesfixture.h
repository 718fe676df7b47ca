#pragma once

#include "common/openedlinks.h"

#include "common/xdgsandbox.h"
#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/userdefaults.h"
#include "services/browser/browsersupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The services over real desktop parts in a sandboxed home: the settings store, the desktop's
// scheme handlers, the sound player (so that beeps can be counted) and the link handlers of
// OpenedLinks.
class DesktopServicesFixture : public ::testing::Test {
protected:
    static DataItemPtr headline(const QString &feed, const QString &title, const QString &link,
                                bool marked = false)
    {
        auto item = std::make_shared<DataItem>();
        item->setObject(feed, ItemKey::name);
        item->setObject(title, ItemKey::title);
        if (!link.isNull())
            item->setObject(link, ItemKey::link);
        item->setObject(marked, ItemKey::mark);
        return item;
    }

    // Beeps asked for. Whether they sound is the player's business: in the sandbox the sound
    // theme of the system's data folders is out of sight.
    int beeps() const
    {
        int count = 0;
        for (const QSignalSpy *spy : {&played, &failed}) {
            for (const QList<QVariant> &signal : *spy)
                count += signal.at(0).toString() == CanberraSoundPlayer::beepSound;
        }
        return count;
    }

    XdgSandbox sandbox;
    UserDefaults defaults{sandbox.configHome() + QStringLiteral("/vantrel")};
    XdgUrlSchemeHandlers handlers;
    QTemporaryDir soundFolder;
    CanberraSoundPlayer player{soundFolder.path()};
    QSignalSpy played{&player, &SoundPlayer::played};
    QSignalSpy failed{&player, &SoundPlayer::playFailed};
    BrowserSupport browser{defaults, handlers, player};
    OpenedLinks opened;
};
