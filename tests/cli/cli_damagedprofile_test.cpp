#include "cli/exitcode.h"
#include "common/filecontents.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "feedsimserver.h"
#include "model/entry/itemkeys.h"
#include "model/source/itemfile.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "vantrelrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void storeEntries(const QString &uuid, const QStringList &titles)
{
    QList<DataItemPtr> items;
    for (const QString &title : titles) {
        auto item = std::make_shared<DataItem>();
        item->setObject(title, ItemKey::title);
        items.append(item);
    }
    ASSERT_TRUE(ItemFile(uuid).save(items));
}

QString field(const QString &line, int column)
{
    return line.split(u'\t').value(column);
}

} // namespace

struct SettingsDamage {
    const char *name;
    std::function<void(const QString &path)> apply;
    bool unprivileged = false; // root reads any file
};

void PrintTo(const SettingsDamage &damage, std::ostream *out)
{
    *out << damage.name;
}

// A profile whose settings file was damaged: its feeds' entries must survive until the settings
// are restored.
class CliDamagedSettingsTest : public testing::TestWithParam<SettingsDamage> {
protected:
    QString settingsFile() const { return Paths::configFolder() + u"/settings.plist"_s; }

    TempHome home;
};

TEST_P(CliDamagedSettingsTest, leaveTheItemFilesAndRestoringTheSettingsBringsTheEntriesBack)
{
    const QVariantMap one = VantrelRun::feed(u"http://127.0.0.1:9/one.xml"_s, u"One"_s);
    const QVariantMap two = VantrelRun::feed(u"http://127.0.0.1:9/two.xml"_s, u"Two"_s);
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList{one, two}}});
    storeEntries(one.value(u"uuid"_s).toString(), {u"a"_s});
    storeEntries(two.value(u"uuid"_s).toString(), {u"b"_s, u"c"_s});
    const QString twoFile = ItemFile(two.value(u"uuid"_s).toString()).path();
    const QByteArray twoEntries = contentsOf(twoFile);
    const QByteArray sound = contentsOf(settingsFile());
    GetParam().apply(settingsFile());

    // Twice: the first start sets the damaged file aside and saves the defaults, which the second
    // start reads as sound settings without these feeds.
    const VantrelRun::Confinement confinement{.unprivileged = GetParam().unprivileged};
    const QString staleTwoFile = Paths::cachesFolder() + u"/stale/"_s + QFileInfo(twoFile).fileName();
    for (int start = 1; start <= 2; ++start) {
        const VantrelRun::Result listed = VantrelRun::run({u"--list-feeds"_s}, confinement);
        EXPECT_FALSE(listed.out.contains(u"One"_s)) << listed.out.toStdString();
        if (start == 1) {
            EXPECT_TRUE(ItemFile(one.value(u"uuid"_s).toString()).exists());
            EXPECT_EQ(contentsOf(twoFile), twoEntries) << listed.err.toStdString();
        } else {
            const QString kept = QFile::exists(twoFile) ? twoFile : staleTwoFile;
            EXPECT_EQ(contentsOf(kept), twoEntries) << listed.err.toStdString();
        }
    }

    QFile::setPermissions(settingsFile(), QFile::ReadOwner | QFile::WriteOwner);
    QDir().rmdir(settingsFile());
    writeFile(settingsFile(), sound);
    const VantrelRun::Result restored = VantrelRun::run({u"--list-feeds"_s});
    ASSERT_EQ(restored.outLines().size(), 2) << restored.err.toStdString();
    EXPECT_EQ(field(restored.outLines()[0], 2), u"1"_s);
    EXPECT_EQ(field(restored.outLines()[1], 2), u"2"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, CliDamagedSettingsTest,
    testing::Values(SettingsDamage{"truncated",
                                   [](const QString &path) {
                                       writeFile(path, contentsOf(path).left(contentsOf(path).size() / 2));
                                   }},
                    SettingsDamage{"randomBytes",
                                   [](const QString &path) {
                                       QByteArray noise(700, '\0');
                                       for (qsizetype i = 0; i < noise.size(); ++i)
                                           noise[i] = char((i * 7919 + 13) % 251);
                                       writeFile(path, noise);
                                   }},
                    SettingsDamage{"empty", [](const QString &path) { writeFile(path, {}); }},
                    SettingsDamage{"aFolder",
                                   [](const QString &path) {
                                       QFile::remove(path);
                                       QDir().mkpath(path);
                                   }},
                    SettingsDamage{
                        "unreadable",
                        [](const QString &path) { QFile::setPermissions(path, QFile::WriteOwner); }, true}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

// An item file its owner may write but not read.
class CliUnreadableItemFileTest : public testing::Test {
protected:
    CliUnreadableItemFileTest() { server.start(); }
    ~CliUnreadableItemFileTest() override { server.stop(); }

    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 3}};
};

TEST_F(CliUnreadableItemFileTest, isNotOverwrittenByTheNextSaveAndTheRunSaysWhy)
{
    const QVariantMap feed = VantrelRun::feed(QString::fromStdString(server.baseUrl()) + u"/rss/news.xml"_s);
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList{feed}}});
    const ItemFile file(feed.value(u"uuid"_s).toString());
    storeEntries(feed.value(u"uuid"_s).toString(), {u"kept"_s});
    const QByteArray kept = contentsOf(file.path());
    QFile::setPermissions(file.path(), QFile::WriteOwner);

    const VantrelRun::Result refreshed = VantrelRun::run({u"--refresh-once"_s}, {.unprivileged = true});
    EXPECT_EQ(refreshed.exitCode, ExitCode::failure);
    EXPECT_EQ(refreshed.outLines().size(), 3) << refreshed.err.toStdString();
    EXPECT_TRUE(refreshed.err.contains(u"The entries cannot be saved: %1 cannot be read"_s.arg(file.path())))
        << refreshed.err.toStdString();
    EXPECT_EQ(contentsOf(file.path()), kept);
    EXPECT_FALSE(QFile::permissions(file.path()) & QFile::ReadOwner);
}
