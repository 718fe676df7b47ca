#include "app/traybadge.h"

#include "app/tickerwindow.h"
#include "model/entry/dataitem.h"

#include <QPainter>
#include <QSystemTrayIcon>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int iconSize = 64;
constexpr int shownHeadlines = 3;
} // namespace

TrayBadge::TrayBadge(QSystemTrayIcon &trayIcon, ViewDataSource &headlines, TickerWindow &mainWindow,
                     QObject *parent)
    : QObject(parent), m_trayIcon(trayIcon), m_headlines(headlines), m_mainWindow(mainWindow),
      m_baseIcon(trayIcon.icon())
{
    refresh();
}

void TrayBadge::refresh()
{
    const ViewDataSource::ItemList items = m_headlines.items();
    const int unseenBefore = m_unseen;
    const bool matchedBefore = m_keywordMatched;
    count(items, m_mainWindow.isVisible());
    m_toolTip = describe(items);
    m_trayIcon.setToolTip(m_toolTip);
    if (m_unseen != unseenBefore || m_keywordMatched != matchedBefore)
        m_trayIcon.setIcon(badgedIcon(m_baseIcon, m_unseen, m_keywordMatched));
}

// The list is ordered by arrival number first, so the arrivals since the last look are at its
// top and the walk stops at the first older entry.
void TrayBadge::count(const ViewDataSource::ItemList &items, bool barVisible)
{
    const int newestArrival = !items.isEmpty() ? items.first()->sequence() : 0;
    if (barVisible) {
        m_lastSeenArrival = std::max(m_lastSeenArrival, newestArrival);
        m_unseen = 0;
        m_keywordMatched = false;
        return;
    }
    m_unseen = 0;
    m_keywordMatched = false;
    for (const DataItemPtr &item : items) {
        if (item->sequence() <= m_lastSeenArrival)
            break;
        ++m_unseen;
        m_keywordMatched = m_keywordMatched || item->mark();
    }
}

QString TrayBadge::describe(const ViewDataSource::ItemList &items)
{
    QStringList lines{u"Vantrel"_s};
    for (qsizetype i = 0; i < std::min<qsizetype>(shownHeadlines, items.size()); ++i) {
        const DataItemPtr &item = items.at(i);
        const QString title = item->title().simplified();
        lines.append(item->name().isEmpty() ? title : title + u" \u2014 "_s + item->name().simplified());
    }
    return lines.join(u'\n');
}

QIcon TrayBadge::badgedIcon(const QIcon &base, int count, bool dot)
{
    if (count <= 0 && !dot)
        return base;
    QPixmap pixmap = base.pixmap(iconSize, iconSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (count > 0) {
        const QString text = count > 99 ? u"99+"_s : QString::number(count);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(iconSize * 4 / 10);
        painter.setFont(font);
        const int width =
            std::max(iconSize / 2, painter.fontMetrics().horizontalAdvance(text) + iconSize / 8);
        const QRect badge(iconSize - width, iconSize / 2, width, iconSize / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xd0, 0x21, 0x21));
        painter.drawRoundedRect(badge, iconSize / 4.0, iconSize / 4.0);
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, text);
    }
    if (dot) {
        painter.setPen(QPen(Qt::black, iconSize / 32.0));
        painter.setBrush(QColor::fromRgbF(1.0f, 0.8f, 0.4f));
        painter.drawEllipse(QRectF(iconSize * 0.62, iconSize * 0.02, iconSize * 0.36, iconSize * 0.36));
    }
    painter.end();
    return QIcon(pixmap);
}
