#pragma once

#include "managerfixture.h"

// A manager on two stored feeds, "One" holding "listed" and "Two" holding "other", merged once;
// arrive() files an entry as a refresh after the first does.
class ArrivalFixture : public ManagerFixture {
protected:
    void SetUp() override
    {
        storeFeed(QStringLiteral("One"), {item(QStringLiteral("listed"), 10)});
        storeFeed(QStringLiteral("Two"), {item(QStringLiteral("other"), 20)});
        makeManager();
        manager->mergeSync();
        feeds = manager->datasources();
    }

    // Files an entry the way a refresh after the first does: at the top, announced.
    DataItemPtr arrive(int sourceIndex, const QString &title)
    {
        auto arrival = item(title, 0);
        Datasource &feed = *feeds.at(sourceIndex);
        feed.setInsertMode(true);
        feed.addItem(arrival);
        feed.setInsertMode(false);
        return arrival;
    }

    QList<std::shared_ptr<Datasource>> feeds; // read without the manager's lock, which a merge may hold
};
