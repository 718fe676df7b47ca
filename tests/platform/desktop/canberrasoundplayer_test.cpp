#include "platform/desktop/canberrasoundplayer.h"

#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "platform/capturedwarnings.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The test main selects ALSA's null device, which plays every sound to its end in silence.
class CanberraSoundPlayerTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    CanberraSoundPlayer player{folder.path()};
    QSignalSpy played{&player, &SoundPlayer::played};
    QSignalSpy failed{&player, &SoundPlayer::playFailed};

    bool waitForOutcomes(int count)
    {
        return waitFor([&] { return played.count() + failed.count() >= count; }, 10000);
    }
};

TEST_F(CanberraSoundPlayerTest, offersTheBundledSoundsWithTheDefaultAmongThem)
{
    const QStringList names = player.soundNames();
    EXPECT_TRUE(names.contains(u"Submarine"_s));
    EXPECT_GE(names.size(), 5);
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);
}

TEST_F(CanberraSoundPlayerTest, everyOfferedSoundPlays)
{
    const QStringList names = player.soundNames();
    for (const QString &name : names)
        player.play(name);
    ASSERT_TRUE(waitForOutcomes(int(names.size())));
    EXPECT_EQ(failed.count(), 0) << failed.value(0).value(1).toString().toStdString();
    QStringList playedNames;
    for (const QList<QVariant> &signal : std::as_const(played))
        playedNames.append(signal.at(0).toString());
    playedNames.sort();
    EXPECT_EQ(playedNames, names);
    // The sound system reads files: each bundled sound was written out once.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), names.size());
}

TEST_F(CanberraSoundPlayerTest, themeSoundsPlayByName)
{
    player.beep();
    player.play(u"message-new-instant"_s);
    ASSERT_TRUE(waitForOutcomes(2));
    EXPECT_EQ(failed.count(), 0);
    EXPECT_EQ(played.count(), 2);
}

TEST_F(CanberraSoundPlayerTest, anUnknownSoundIsReportedAndLogged)
{
    CapturedWarnings warnings;
    player.play(u"Basso"_s);
    player.play(u"../../../../etc/passwd"_s);
    player.play(QString());
    ASSERT_TRUE(waitForOutcomes(3));
    EXPECT_EQ(played.count(), 0);
    ASSERT_EQ(failed.count(), 3);
    QStringList names;
    for (const QList<QVariant> &signal : std::as_const(failed)) {
        names.append(signal.at(0).toString());
        EXPECT_FALSE(signal.at(1).toString().isEmpty());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QString(), u"../../../../etc/passwd"_s, u"Basso"_s}));
    EXPECT_TRUE(warnings.joined().contains(u"Cannot play the sound \"Basso\""_s))
        << warnings.joined().toStdString();
}

TEST_F(CanberraSoundPlayerTest, aBundledSoundThatCannotBeWrittenOutIsReported)
{
    CapturedWarnings warnings;
    // A file where the folder should be: not even root can create the folder.
    QFile(folder.filePath(u"file"_s)).open(QIODevice::WriteOnly);
    CanberraSoundPlayer blocked(folder.filePath(u"file/sounds"_s));
    QSignalSpy blockedFailed(&blocked, &SoundPlayer::playFailed);
    blocked.play(u"Submarine"_s);
    ASSERT_TRUE(waitFor([&] { return blockedFailed.count() == 1; }));
    EXPECT_TRUE(blockedFailed.at(0).at(1).toString().contains(u"cannot create the folder"_s));
}

TEST_F(CanberraSoundPlayerTest, aSoundDeviceThatIsMissingIsReportedAndLogged)
{
    CapturedWarnings warnings;
    const QByteArray device = qgetenv("CANBERRA_DEVICE");
    // The sound system reads the device when the player's context is made, at its first sound.
    qputenv("CANBERRA_DEVICE", "no-such-device");
    CanberraSoundPlayer deviceless(folder.filePath(u"deviceless"_s));
    QSignalSpy devicelessFailed(&deviceless, &SoundPlayer::playFailed);
    deviceless.play(u"Submarine"_s);
    const bool reported = waitFor([&] { return devicelessFailed.count() == 1; }, 10000);
    qputenv("CANBERRA_DEVICE", device);
    ASSERT_TRUE(reported);
    EXPECT_FALSE(devicelessFailed.at(0).at(1).toString().isEmpty());
    EXPECT_TRUE(warnings.joined().contains(u"Submarine"_s)) << warnings.joined().toStdString();
}
