#pragma once

#include "prefs/deletedfeeds.h"
#include "prefs/preferencesservices.h"

#include <QWidget>
#include <functional>
#include <memory>

class AddFeedSheet;
class Datasource;
class FeedSettingsSheet;
class FeedTableModel;
class OpmlExportJob;
class OpmlImportJob;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

// The feeds pane: the table of subscriptions with a filter, the add-feed and per-feed sheets,
// refresh now, delete (with undo), reset, and OPML import and export with progress.
class RSSPreferencesController : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool working READ working NOTIFY workingChanged)
    Q_PROPERTY(bool isRowSelected READ isRowSelected NOTIFY isRowSelectedChanged)
public:
    static constexpr int undoSeconds = 10;
    static constexpr int visibleRows = 7;
    static constexpr int httpStatusWidth = 110;

    explicit RSSPreferencesController(const PreferencesServices &services, QWidget *parent = nullptr);
    ~RSSPreferencesController() override;

    bool working() const { return m_working; }
    bool isRowSelected() const { return m_isRowSelected; }

    FeedTableModel &tableModel() const { return *m_model; }
    QTableView *feedTableView() const { return m_table; }
    AddFeedSheet *addFeedPanel() const { return m_addSheet; }
    FeedSettingsSheet *feedSettingsPanel() const { return m_settingsSheet; }

    // The add-feed sheet prefilled from the clipboard.
    void addFeed();
    // The add-feed sheet with the text as given.
    void addFeedWithUrl(const QString &text);
    // The per-feed sheet of the selected feed.
    void showFeedSettings();
    // Refreshes the selected feeds now, those that are on and not refreshing already.
    void refreshSelected();
    void deleteFeed();
    void undoDelete();
    void resetAction();
    void importOPMLAction();
    void exportOPMLAction();
    void cancelImport();
    // The selected feeds on or off (the table's context menu).
    void setSelectedEnabled(bool enabled);

    // The selected sources, in table order.
    QList<std::shared_ptr<Datasource>> selectedSources() const;

Q_SIGNALS:
    void workingChanged(bool working);
    void isRowSelectedChanged(bool selected);

private:
    QWidget *buildButtons();
    QWidget *buildProgress();
    QPushButton *button(const QString &objectName, const QString &text);
    void configureTable();
    void addTableAction(const QString &objectName, const QString &text, const std::function<void()> &handler);
    void addFeedPanelAction(bool add);
    void selectionDidChange();
    void updateRefreshButton();
    void deleteWithConfirmation();
    void showNotice(const QString &message);
    void setWorking(bool working);
    void importFinished(int added, int duplicates, const QString &error, bool cancelled);
    void exportFinished(const QString &error);

    const PreferencesServices m_services;
    FeedTableModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QLineEdit *m_filter;
    QTableView *m_table;
    AddFeedSheet *m_addSheet;
    FeedSettingsSheet *m_settingsSheet;
    OpmlImportJob *m_import;
    OpmlExportJob *m_export;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancelImport = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_settings = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_undo = nullptr;
    QTimer *m_undoTimer;
    DeletedFeeds m_deleted;
    bool m_working = false;
    bool m_isRowSelected = false;
};
