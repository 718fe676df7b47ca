#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <QVariantMap>
#include <memory>

class Datasource;
class DatasourceManager;
class UserDefaults;

// Feeds deleted a moment ago, kept so that the deletion can be undone: each feed's settings
// and stored entries come back under a new subscription to the same address.
class DeletedFeeds {
public:
    DeletedFeeds(DatasourceManager &manager, UserDefaults &defaults);

    // Deletes the sources through the manager and keeps what undo needs.
    void deleteSources(const QList<std::shared_ptr<Datasource>> &sources);
    bool isEmpty() const { return m_kept.isEmpty(); }
    void forget() { m_kept.clear(); }
    // Subscribes to the kept feeds again, with their settings and entries; returns how many came back.
    int restore();

private:
    struct Kept {
        QVariantMap configuration;
        QList<DataItemPtr> items;
    };
    QVariantMap configurationOf(const Datasource &source) const;

    DatasourceManager &m_manager;
    UserDefaults &m_defaults;
    QList<Kept> m_kept;
};
