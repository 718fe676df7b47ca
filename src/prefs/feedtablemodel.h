#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <memory>

class Datasource;
class DatasourceManager;
class QTimer;

// The manager's sources as table rows: enabled, name, address with its status line, the HTTP
// status of the last refresh and the number of stored entries. Configuration changes reload the
// table once, a moment after the last of a burst; when the list of sources stayed the same only
// the changed rows are redrawn.
class FeedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { EnabledColumn, NameColumn, UrlColumn, HttpStatusColumn, EntriesColumn, ColumnCount };
    enum Role { StatusRole = Qt::UserRole + 1, StatusIsErrorRole, SourceRole };

    static constexpr int defaultReloadDelayMs = 1000;

    explicit FeedTableModel(DatasourceManager &manager, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::DropActions supportedDropActions() const override
    {
        return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    }
    QStringList mimeTypes() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    std::shared_ptr<Datasource> sourceAt(int row) const;
    int rowOf(const Datasource *source) const;

    // Takes the manager's sources now.
    void reload();
    void setReloadDelay(int milliseconds);
    // Schedules the reload of a burst of changes.
    void datasourceConfigurationDidChange(Datasource *source);

    // The status line of a source: when it was last updated, or its error.
    static QString statusLine(const Datasource &source, bool *isError = nullptr);

Q_SIGNALS:
    // A debounced reload has run.
    void reloaded();
    // An address typed into the table was kept out of the settings: `reason` says why.
    void addressRefused(const QString &reason);

private:
    QVariant displayData(const Datasource &source, int column) const;
    QVariant colorData(const Datasource &source, int role) const;
    void reloadChanged();

    DatasourceManager &m_manager;
    QList<std::shared_ptr<Datasource>> m_sources;
    QSet<const Datasource *> m_changed;
    QTimer *m_timer;
};
