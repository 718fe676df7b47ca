#include "prefs/feedtablemodel.h"

#include "model/manager/datasourcemanager.h"
#include "model/parse/feedstrings.h"
#include "model/source/notificationcenter.h"
#include "model/source/rssdatasource.h"

#include <QLocale>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

FeedTableModel::FeedTableModel(DatasourceManager &manager, QObject *parent)
    : QAbstractTableModel(parent), m_manager(manager), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(defaultReloadDelayMs);
    connect(m_timer, &QTimer::timeout, this, &FeedTableModel::reloadChanged);
    // Sources report from refresh threads too; the table is touched on the main thread only.
    connect(&NotificationCenter::defaultCenter(),
            &NotificationCenter::datasourceConfigurationDidChangeNotification, this,
            &FeedTableModel::datasourceConfigurationDidChange, Qt::QueuedConnection);
    m_sources = m_manager.datasources();
}

void FeedTableModel::setReloadDelay(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void FeedTableModel::datasourceConfigurationDidChange(Datasource *source)
{
    m_changed.insert(source);
    m_timer->start();
}

void FeedTableModel::reload()
{
    m_timer->stop();
    m_changed.clear();
    beginResetModel();
    m_sources = m_manager.datasources();
    endResetModel();
}

void FeedTableModel::reloadChanged()
{
    const QList<std::shared_ptr<Datasource>> current = m_manager.datasources();
    if (current != m_sources) {
        reload();
    } else {
        for (const Datasource *source : std::as_const(m_changed)) {
            if (const int row = rowOf(source); row >= 0)
                Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
        }
        m_changed.clear();
    }
    Q_EMIT reloaded();
}

std::shared_ptr<Datasource> FeedTableModel::sourceAt(int row) const
{
    return row >= 0 && row < m_sources.size() ? m_sources.at(row) : nullptr;
}

int FeedTableModel::rowOf(const Datasource *source) const
{
    for (int row = 0; row < m_sources.size(); ++row) {
        if (m_sources.at(row).get() == source)
            return row;
    }
    return -1;
}

int FeedTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sources.size());
}

int FeedTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

// An error shows even before the first successful update: a feed that has never been read is
// exactly the one whose reason the user needs to see.
QString FeedTableModel::statusLine(const Datasource &source, bool *isError)
{
    const QString error = source.errorString();
    if (isError)
        *isError = !error.isEmpty();
    if (!error.isEmpty())
        return error;
    const QDateTime updated = source.lastUpdatedAt();
    if (!updated.isValid())
        return tr("Never updated");
    return tr("Updated at %1").arg(QLocale().toString(updated.toLocalTime(), QLocale::ShortFormat));
}

QVariant FeedTableModel::data(const QModelIndex &index, int role) const
{
    const std::shared_ptr<Datasource> source = sourceAt(index.row());
    if (!source)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayData(*source, index.column());
    case Qt::CheckStateRole:
        if (index.column() == EnabledColumn)
            return source->isEnabled() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        return colorData(*source, role);
    case Qt::ToolTipRole:
        return index.column() == HttpStatusColumn ? displayData(*source, HttpStatusColumn) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == EntriesColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case StatusRole:
        return statusLine(*source);
    case StatusIsErrorRole: {
        bool isError = false;
        statusLine(*source, &isError);
        return isError;
    }
    default:
        return {};
    }
}

QVariant FeedTableModel::displayData(const Datasource &source, int column) const
{
    switch (column) {
    case NameColumn:
        return source.customName().isEmpty() ? source.name() : source.customName();
    case UrlColumn:
        if (const auto *feed = dynamic_cast<const RSSDatasource *>(&source))
            return feed->url();
        return QString();
    case HttpStatusColumn:
        if (const auto *feed = dynamic_cast<const RSSDatasource *>(&source))
            return feed->httpStatus();
        return QString();
    case EntriesColumn:
        return int(source.items().size());
    default:
        return {};
    }
}

// Unselected rows take the feed's effective colours (its own or the general ones), as the bar
// paints its headlines; the view paints selected rows in its selection colours.
QVariant FeedTableModel::colorData(const Datasource &source, int role) const
{
    if (role == Qt::BackgroundRole) {
        const QColor background = source.backGroundColor();
        return background.isValid() ? QVariant(background) : QVariant();
    }
    const QColor font = source.fontColor();
    return font.isValid() ? font : QColor(Qt::black);
}

bool FeedTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const std::shared_ptr<Datasource> source = sourceAt(index.row());
    if (!source)
        return false;
    if (index.column() == EnabledColumn && role == Qt::CheckStateRole) {
        source->setEnabled(value.value<Qt::CheckState>() == Qt::Checked);
    } else if (index.column() == NameColumn && role == Qt::EditRole) {
        const QString typed = value.toString();
        source->setCustomName(typed.trimmed().isEmpty() ? QString() : typed);
    } else if (index.column() == UrlColumn && role == Qt::EditRole) {
        auto *feed = dynamic_cast<RSSDatasource *>(source.get());
        if (!feed)
            return false;
        const QString address = value.toString().trimmed();
        if (const QString refusal = FeedStrings::feedAddressRefusal(address); !refusal.isNull()) {
            Q_EMIT addressRefused(refusal);
            return false;
        }
        feed->setURL(address);
    } else {
        return false;
    }
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

Qt::ItemFlags FeedTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    if (index.column() == EnabledColumn)
        flags |= Qt::ItemIsUserCheckable;
    else if (index.column() == NameColumn || index.column() == UrlColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant FeedTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case EnabledColumn:
        return tr("On");
    case NameColumn:
        return tr("Name");
    case UrlColumn:
        return tr("Address");
    case HttpStatusColumn:
        return tr("HTTP");
    case EntriesColumn:
        return tr("Entries");
    default:
        return {};
    }
}

QStringList FeedTableModel::mimeTypes() const
{
    return {u"text/uri-list"_s, u"text/plain"_s};
}

bool FeedTableModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                     const QModelIndex &) const
{
    return data->hasText() || data->hasUrls();
}

// A dropped link is subscribed to as the manager would a typed one (duplicates are reported there).
bool FeedTableModel::dropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &)
{
    const QString text = data->hasUrls() ? data->urls().value(0).toString() : data->text().trimmed();
    m_manager.addFeedWithURL(text);
    reload();
    return true;
}
