#include "prefs/rsspreferencescontroller.h"

#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/rssdatasource.h"
#include "platform/settingskeys.h"
#include "prefs/addfeedsheet.h"
#include "prefs/alertsheet.h"
#include "prefs/dialoganswers.h"
#include "prefs/feedaddresstext.h"
#include "prefs/feedsettingssheet.h"
#include "prefs/feedtablemodel.h"
#include "prefs/opmlexportjob.h"
#include "prefs/opmlimportjob.h"
#include "prefs/rssprefcell.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

RSSPreferencesController::RSSPreferencesController(const PreferencesServices &services, QWidget *parent)
    : QWidget(parent), m_services(services), m_model(new FeedTableModel(services.manager, this)),
      m_proxy(new QSortFilterProxyModel(this)), m_filter(new QLineEdit), m_table(new QTableView),
      m_addSheet(new AddFeedSheet(this)), m_settingsSheet(new FeedSettingsSheet(services.defaults, this)),
      m_import(new OpmlImportJob(services.manager, this)),
      m_export(new OpmlExportJob(services.manager, this)), m_undoTimer(new QTimer(this)),
      m_deleted(services.manager, services.defaults)
{
    setObjectName(u"rssView"_s);
    m_filter->setObjectName(u"feedFilterField"_s);
    m_filter->setPlaceholderText(tr("Filter by name or address"));
    m_filter->setClearButtonEnabled(true);
    configureTable();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_table, 1);
    layout->addWidget(buildButtons());
    layout->addWidget(buildProgress());

    m_undoTimer->setObjectName(u"undoDeleteTimer"_s);
    m_undoTimer->setSingleShot(true);
    m_undoTimer->setInterval(undoSeconds * 1000);
    connect(m_undoTimer, &QTimer::timeout, this, [this] {
        m_deleted.forget();
        m_undo->hide();
    });
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_addSheet, &AddFeedSheet::answered, this, &RSSPreferencesController::addFeedPanelAction);
    connect(&services.manager, &DatasourceManager::noticeRequested, this,
            &RSSPreferencesController::showNotice);
    connect(m_model, &FeedTableModel::addressRefused, this, &RSSPreferencesController::showNotice);
    connect(m_import, &OpmlImportJob::progress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(m_import, &OpmlImportJob::finished, this,
            [this](const OpmlImporter::Result &result, bool cancelled) {
                importFinished(result.added, result.duplicates, result.errorString, cancelled);
            });
    connect(m_export, &OpmlExportJob::finished, this, &RSSPreferencesController::exportFinished);
}

RSSPreferencesController::~RSSPreferencesController() = default;

void RSSPreferencesController::configureTable()
{
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_table->setObjectName(u"feedTableView"_s);
    m_table->setModel(m_proxy);
    m_table->setItemDelegateForColumn(FeedTableModel::UrlColumn, new RSSPrefCell(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->setShowGrid(false);
    m_table->setMinimumHeight(visibleRows * RSSPrefCell::rowHeight +
                              m_table->horizontalHeader()->sizeHint().height());
    m_table->setWordWrap(false);
    // Tab leaves the table for the buttons; the arrows move between rows.
    m_table->setTabKeyNavigation(false);
    m_table->setAcceptDrops(true);
    m_table->setDragDropMode(QAbstractItemView::DropOnly);
    m_table->setDropIndicatorShown(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(RSSPrefCell::rowHeight);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(FeedTableModel::EnabledColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(FeedTableModel::NameColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(FeedTableModel::UrlColumn, QHeaderView::Stretch);
    // Fixed, not fitted to the rows: a long transfer error is cut short and told in full by its tip.
    header->setSectionResizeMode(FeedTableModel::HttpStatusColumn, QHeaderView::Interactive);
    header->resizeSection(FeedTableModel::HttpStatusColumn, httpStatusWidth);
    header->setSectionResizeMode(FeedTableModel::EntriesColumn, QHeaderView::ResizeToContents);
    header->resizeSection(FeedTableModel::NameColumn, 160);
    connect(m_table, &QTableView::doubleClicked, this, &RSSPreferencesController::showFeedSettings);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RSSPreferencesController::selectionDidChange);
    connect(m_model, &QAbstractItemModel::modelReset, this, &RSSPreferencesController::selectionDidChange);
    // A refresh that ends, or a feed turned on or off, changes what the button may do.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &RSSPreferencesController::updateRefreshButton);
    auto *deleteKey = new QShortcut(QKeySequence::Delete, m_table);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &RSSPreferencesController::deleteWithConfirmation);
    addTableAction(u"enableFeedsAction"_s, tr("&Enable"), [this] { setSelectedEnabled(true); });
    addTableAction(u"disableFeedsAction"_s, tr("D&isable"), [this] { setSelectedEnabled(false); });
    addTableAction(u"deleteFeedsAction"_s, tr("&Delete…"), [this] { deleteWithConfirmation(); });
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void RSSPreferencesController::addTableAction(const QString &objectName, const QString &text,
                                              const std::function<void()> &handler)
{
    auto *action = new QAction(text, m_table);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, handler);
    m_table->addAction(action);
}

void RSSPreferencesController::setSelectedEnabled(bool enabled)
{
    for (const std::shared_ptr<Datasource> &source : selectedSources())
        source->setEnabled(enabled);
    m_model->reload();
}

QPushButton *RSSPreferencesController::button(const QString &objectName, const QString &text)
{
    auto *pushButton = new QPushButton(text);
    pushButton->setObjectName(objectName);
    return pushButton;
}

QWidget *RSSPreferencesController::buildButtons()
{
    auto *add = button(u"addFeedButton"_s, tr("&Add…"));
    m_delete = button(u"deleteFeedButton"_s, tr("&Delete"));
    m_settings = button(u"feedSettingsButton"_s, tr("S&ettings…"));
    m_refresh = button(u"refreshFeedButton"_s, tr("Refresh &Now"));
    m_undo = button(u"undoDeleteButton"_s, tr("&Undo Delete"));
    auto *reset = button(u"resetButton"_s, tr("&Reset"));
    reset->setToolTip(tr("Remove every feed's own limits, refresh interval and colours"));
    auto *import = button(u"importOPMLButton"_s, tr("&Import…"));
    auto *exportButton = button(u"exportOPMLButton"_s, tr("E&xport…"));
    m_delete->setEnabled(false);
    m_settings->setEnabled(false);
    m_refresh->setEnabled(false);
    m_undo->hide();
    connect(add, &QPushButton::clicked, this, &RSSPreferencesController::addFeed);
    connect(m_delete, &QPushButton::clicked, this, &RSSPreferencesController::deleteFeed);
    connect(m_settings, &QPushButton::clicked, this, &RSSPreferencesController::showFeedSettings);
    connect(m_refresh, &QPushButton::clicked, this, &RSSPreferencesController::refreshSelected);
    connect(m_undo, &QPushButton::clicked, this, &RSSPreferencesController::undoDelete);
    connect(reset, &QPushButton::clicked, this, &RSSPreferencesController::resetAction);
    connect(import, &QPushButton::clicked, this, &RSSPreferencesController::importOPMLAction);
    connect(exportButton, &QPushButton::clicked, this, &RSSPreferencesController::exportOPMLAction);
    connect(this, &RSSPreferencesController::workingChanged, import, &QWidget::setDisabled);
    connect(this, &RSSPreferencesController::workingChanged, exportButton, &QWidget::setDisabled);

    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *widget : {add, m_delete, m_settings, m_refresh, m_undo})
        layout->addWidget(widget);
    layout->addStretch(1);
    for (QWidget *widget : {reset, import, exportButton})
        layout->addWidget(widget);
    return row;
}

QWidget *RSSPreferencesController::buildProgress()
{
    m_progress = new QProgressBar;
    m_progress->setObjectName(u"opmlProgress"_s);
    m_cancelImport = button(u"opmlCancelButton"_s, tr("Cance&l"));
    m_status = new QLabel;
    m_status->setObjectName(u"opmlStatusLabel"_s);
    connect(m_cancelImport, &QPushButton::clicked, this, &RSSPreferencesController::cancelImport);
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_status, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancelImport);
    m_progress->hide();
    m_cancelImport->hide();
    return row;
}

QList<std::shared_ptr<Datasource>> RSSPreferencesController::selectedSources() const
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<std::shared_ptr<Datasource>> sources;
    for (const QModelIndex &row : std::as_const(rows)) {
        if (std::shared_ptr<Datasource> source = m_model->sourceAt(m_proxy->mapToSource(row).row()))
            sources.append(source);
    }
    return sources;
}

void RSSPreferencesController::selectionDidChange()
{
    const bool selected = m_table->selectionModel()->hasSelection();
    m_delete->setEnabled(selected);
    m_settings->setEnabled(selected);
    updateRefreshButton();
    if (selected == m_isRowSelected)
        return;
    m_isRowSelected = selected;
    Q_EMIT isRowSelectedChanged(selected);
}

// Refreshing feeds report no start, only their end: a click on a feed the rounds just started
// does nothing.
void RSSPreferencesController::updateRefreshButton()
{
    const QList<std::shared_ptr<Datasource>> selected = selectedSources();
    m_refresh->setEnabled(std::any_of(selected.cbegin(), selected.cend(), [](const auto &source) {
        const auto *feed = dynamic_cast<const RSSDatasource *>(source.get());
        return feed && feed->isEnabled() && !feed->isRunning();
    }));
}

void RSSPreferencesController::refreshSelected()
{
    for (const std::shared_ptr<Datasource> &source : selectedSources()) {
        if (auto *feed = dynamic_cast<RSSDatasource *>(source.get()))
            feed->requestRefresh();
    }
    updateRefreshButton();
}

// ---- Adding

void RSSPreferencesController::addFeed()
{
    m_addSheet->open(FeedAddressText::fromClipboard(QGuiApplication::clipboard()->text()));
}

void RSSPreferencesController::addFeedWithUrl(const QString &text)
{
    m_addSheet->open(text);
}

// The table shows the new feed after its configuration-change report; duplicates and refused
// addresses come back from the manager as a notice.
void RSSPreferencesController::addFeedPanelAction(bool add)
{
    if (add)
        m_services.manager.addFeedWithURL(FeedAddressText::addressForEntry(m_addSheet->text()));
}

void RSSPreferencesController::showNotice(const QString &message)
{
    if (window()->isVisible())
        AlertSheet::show(this, message);
}

// ---- Editing

void RSSPreferencesController::showFeedSettings()
{
    const QList<std::shared_ptr<Datasource>> selected = selectedSources();
    if (!selected.isEmpty())
        m_settingsSheet->open(selected.first());
}

void RSSPreferencesController::resetAction()
{
    const QString keys[] = {SettingsKey::limit, SettingsKey::ageLimit, SettingsKey::fontColor,
                            SettingsKey::backgroundColor, SettingsKey::refreshRate};
    for (const std::shared_ptr<Datasource> &source : m_services.manager.datasources()) {
        for (const QString &key : keys)
            source->setUserDefaults(QVariant(), key);
        source->loadGeneralDefaults();
    }
}

// ---- Deleting

void RSSPreferencesController::deleteFeed()
{
    const QList<std::shared_ptr<Datasource>> selected = selectedSources();
    if (selected.isEmpty())
        return;
    m_deleted.deleteSources(selected);
    m_model->reload();
    m_undo->show();
    m_undoTimer->start();
}

void RSSPreferencesController::deleteWithConfirmation()
{
    const qsizetype count = selectedSources().size();
    if (count == 0)
        return;
    const QString text =
        count == 1 ? tr("Delete the selected feed?") : tr("Delete the %n selected feeds?", "", int(count));
    if (DialogAnswers::confirm(this, tr("Delete Feeds"), text, tr("&Delete")))
        deleteFeed();
}

void RSSPreferencesController::undoDelete()
{
    m_undoTimer->stop();
    m_undo->hide();
    m_deleted.restore();
    m_model->reload();
}

// ---- OPML

void RSSPreferencesController::setWorking(bool working)
{
    if (working == m_working)
        return;
    m_working = working;
    m_progress->setVisible(working);
    Q_EMIT workingChanged(working);
}

void RSSPreferencesController::importOPMLAction()
{
    if (m_working)
        return;
    const QString path = DialogAnswers::openFileName(this, tr("Import Subscriptions"),
                                                     tr("Subscription lists (*.xml *.opml)"));
    if (path.isEmpty())
        return;
    m_status->clear();
    setWorking(true);
    m_cancelImport->show();
    m_import->start(path);
}

void RSSPreferencesController::cancelImport()
{
    m_import->cancel();
}

void RSSPreferencesController::importFinished(int added, int duplicates, const QString &error, bool cancelled)
{
    m_cancelImport->hide();
    setWorking(false);
    m_model->reload();
    if (!error.isNull()) {
        AlertSheet::show(this, tr("The subscriptions could not be imported."), error);
        return;
    }
    QString summary = tr("%n feed(s) imported", "", added);
    if (duplicates > 0)
        summary += u", "_s + tr("%n already subscribed", "", duplicates);
    if (cancelled)
        summary += u", "_s + tr("then cancelled");
    m_status->setText(summary + u'.');
}

void RSSPreferencesController::exportOPMLAction()
{
    if (m_working)
        return;
    const QString path = DialogAnswers::saveFileName(this, tr("Export Subscriptions"),
                                                     tr("Subscription lists (*.xml)"), u"xml"_s);
    if (path.isEmpty())
        return;
    m_status->clear();
    m_progress->setRange(0, 0);
    setWorking(true);
    m_export->start(path);
}

void RSSPreferencesController::exportFinished(const QString &error)
{
    setWorking(false);
    if (!error.isNull())
        AlertSheet::show(this, tr("The subscriptions could not be exported."), error);
    else
        m_status->setText(tr("Subscriptions exported."));
}
