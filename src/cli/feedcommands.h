#pragma once

#include <QString>
#include <functional>
#include <memory>

class Datasource;
class DatasourceManager;

// The scripting commands on the subscriptions. Each prints its result on standard output and
// its errors on standard error, and answers an exit status (ExitCode). A command that changes the
// subscriptions reports success only once the settings are saved. Main thread.
class FeedCommands {
public:
    // `saveSettings` writes the settings now, reports a failure on standard error and returns
    // whether they were saved.
    FeedCommands(DatasourceManager &manager, std::function<bool()> saveSettings)
        : m_manager(manager), m_saveSettings(std::move(saveSettings))
    {
    }

    // One line per feed, tab-separated: number, "enabled"/"disabled", stored entries, name,
    // address, status ("never updated", "updated <time>" or "error: <text>").
    int listFeeds();
    // Subscribes and waits for the first refresh, so that a feed that cannot be read is reported.
    // An address that is no feed address is refused.
    int addFeed(const QString &address);
    int deleteFeed(const QString &feed);
    int setFeedEnabled(const QString &feed, bool enabled);
    int importOpml(const QString &path);
    // "-" writes to standard output.
    int exportOpml(const QString &path);

    // The feed a command-line argument names: its number in listFeeds (from 1), its address
    // (exactly, or after feed-URL normalisation) or its uuid. nullptr (and an error on standard
    // error) when none or several match.
    std::shared_ptr<Datasource> findFeed(const QString &feed) const;

private:
    static QString statusText(const Datasource &source);
    void waitForRefresh(const Datasource &source) const;

    DatasourceManager &m_manager;
    std::function<bool()> m_saveSettings;
};
