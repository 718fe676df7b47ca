#pragma once

#include "app/tickerwindow.h"

#include <QPointer>

class QWidget;

// A TickerWindow over a top-level widget. Without a taskbar presence the widget is a Qt::Tool
// window, which window managers leave out of the taskbar.
class WidgetTickerWindow final : public TickerWindow {
public:
    explicit WidgetTickerWindow(QWidget *window);

    bool isVisible() const override;
    void orderFront() override;
    void orderOut() override;
    void setTaskbarPresence(bool present) override;

private:
    QPointer<QWidget> m_window;
};
