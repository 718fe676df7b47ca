#include "ticker/bar/rsswindow.h"

#include "model/parse/feedstrings.h"
#include "ticker/bar/windowplacement.h"

#include <QCloseEvent>
#include <QMimeData>
#include <QPainter>

using namespace Qt::StringLiterals;

RSSWindow::RSSWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"tickerWindow"_s);
    setWindowTitle(u"Vantrel"_s);
    setAttribute(Qt::WA_TranslucentBackground);
    setAcceptDrops(true);
    setStyle(WindowPlacement::Left, false);
}

void RSSWindow::setStyle(int location, bool alwaysOnTop)
{
    Qt::WindowFlags flags =
        WindowPlacement::isDocked(location)
            ? Qt::Tool | Qt::FramelessWindowHint
            : Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint;
    if (alwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (flags == windowFlags())
        return;
    const bool shown = isVisible();
    setWindowFlags(flags);
    if (shown)
        show();
}

void RSSWindow::setBackgroundColor(const QColor &color)
{
    m_background = color;
    update();
}

void RSSWindow::setCompositing(bool compositing)
{
    m_compositing = compositing;
    update();
}

QColor RSSWindow::paintedColor() const
{
    if (m_compositing || !m_background.isValid())
        return m_background;
    QColor opaque = m_background;
    opaque.setAlphaF(1.0f);
    return opaque;
}

void RSSWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QColor color = paintedColor();
    painter.fillRect(event->rect(), color.isValid() ? color : QColor(Qt::transparent));
}

void RSSWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Q_EMIT windowDidResize();
}

void RSSWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    Q_EMIT windowWillMove();
}

void RSSWindow::closeEvent(QCloseEvent *event)
{
    Q_EMIT windowWillClose();
    QWidget::closeEvent(event);
}

void RSSWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LocaleChange)
        Q_EMIT localeDidChange();
}

void RSSWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Q_EMIT pointerInside(true);
}

void RSSWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    Q_EMIT pointerInside(false);
}

QString RSSWindow::droppedText(const QMimeData *data)
{
    if (data->hasUrls() && !data->urls().isEmpty())
        return data->urls().constFirst().toString();
    return data->text().trimmed();
}

void RSSWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void RSSWindow::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

// A text that is no feed address is refused before anything is subscribed.
void RSSWindow::dropEvent(QDropEvent *event)
{
    const QString text = droppedText(event->mimeData());
    if (text.isEmpty() || !FeedStrings::feedAddressRefusal(text).isNull()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT feedDropped(text);
}
