#pragma once

#include "common/temphome.h"
#include "common/waitfor.h"
#include "model/entry/itemkeys.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/itemfile.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// Reachability that answers as the test says, for the cases loopback cannot stage.
class FixedReachability : public Reachability {
public:
    explicit FixedReachability(const UserDefaults &defaults) : Reachability(defaults) {}
    bool isReachable() const override { return reachable.load(); }
    std::atomic<bool> reachable = true;
};

// A manager in a temporary home whose feeds and item files the test writes first.
class ManagerFixture : public testing::Test {
public:
    static constexpr qint64 now = 1780000000;

protected:
    ManagerFixture()
        : defaults(home.configHome() + QStringLiteral("/vantrel")),
          clock(QDateTime::fromSecsSinceEpoch(now, Qt::UTC)), reachability(defaults)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::reachabilityHost, QStringLiteral("127.0.0.1")}});
    }

    ~ManagerFixture() override { manager.reset(); }

    static DataItemPtr item(const QString &title, qint64 minutesAgo, const QString &description = QString())
    {
        auto entry = std::make_shared<DataItem>();
        entry->setObject(title, ItemKey::title);
        entry->setObject(title, ItemKey::guid);
        if (!description.isNull())
            entry->setObject(description, ItemKey::description);
        entry->setObject(QDateTime::fromSecsSinceEpoch(now - minutesAgo * 60, Qt::UTC), ItemKey::parsedDate);
        return entry;
    }

    // A feed in "feeds" whose item file holds the entries; returns its uuid.
    QString storeFeed(const QString &name, const QList<DataItemPtr> &entries, const QString &url = QString())
    {
        const QString uuid = QStringLiteral("FEED-%1").arg(++feedCount);
        QVariantMap entry{{QStringLiteral("uuid"), uuid},
                          {QStringLiteral("name"), name},
                          {QStringLiteral("enabled"), true}};
        entry.insert(QStringLiteral("url"),
                     url.isNull() ? QStringLiteral("http://127.0.0.1:9/%1.xml").arg(uuid) : url);
        defaults.updateObject(SettingsKey::feeds,
                              [&](const QVariant &current) { return QVariant(current.toList() << entry); });
        EXPECT_TRUE(ItemFile(uuid).save(entries));
        return uuid;
    }

    DatasourceManager &makeManager(DatasourceManager::Options options = quietOptions())
    {
        manager = std::make_unique<DatasourceManager>(defaults, clock, reachability, options);
        return *manager;
    }

    static DatasourceManager::Options quietOptions()
    {
        DatasourceManager::Options options;
        options.startTimers = false;
        options.saveDelayMs = 0;
        return options;
    }

    std::shared_ptr<Datasource> source(int index) const { return manager->datasources().at(index); }

    // The entry of the source with this title.
    DataItemPtr entry(int sourceIndex, const QString &title) const
    {
        for (const auto &candidate : source(sourceIndex)->items())
            if (candidate->title() == title)
                return candidate;
        return nullptr;
    }

    QStringList titles() const
    {
        QStringList list;
        const ViewDataSource::ItemList items = manager->items();
        for (const auto &listed : items)
            list.append(listed->title());
        return list;
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    FixedReachability reachability;
    std::unique_ptr<DatasourceManager> manager;
    int feedCount = 0;
};
