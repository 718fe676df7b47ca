#include "app/widgettickerwindow.h"

#include <QWidget>

WidgetTickerWindow::WidgetTickerWindow(QWidget *window) : m_window(window) {}

bool WidgetTickerWindow::isVisible() const
{
    return m_window && m_window->isVisible();
}

void WidgetTickerWindow::orderFront()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void WidgetTickerWindow::orderOut()
{
    if (m_window)
        m_window->hide();
}

void WidgetTickerWindow::setTaskbarPresence(bool present)
{
    if (!m_window || (m_window->windowType() == Qt::Tool) == !present)
        return;
    // Changing the flags of a shown window hides it; show it again as it was.
    const bool wasVisible = m_window->isVisible();
    m_window->setWindowFlag(Qt::Tool, !present);
    if (wasVisible)
        m_window->show();
}
