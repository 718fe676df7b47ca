#pragma once

#include <QColor>
#include <QWidget>

class QMimeData;

// The bar's window. Docked at a screen edge it is a frameless tool window, without shadow or
// taskbar button, that still takes keyboard focus (for the search field); as a free window it is
// an ordinary titled, resizable window. It paints its background colour, which may be
// translucent; where nothing composes the desktop behind it, it paints that colour opaque.
// A dragged text or link that is a feed address is offered with feedDropped.
class RSSWindow : public QWidget {
    Q_OBJECT

public:
    explicit RSSWindow(QWidget *parent = nullptr);

    // Applies the window style of a location (0 left, 1 right, 2 free) and the window level;
    // a shown window stays shown.
    void setStyle(int location, bool alwaysOnTop);

    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);
    // Whether translucent pixels blend with the desktop behind the window.
    bool isCompositing() const { return m_compositing; }
    void setCompositing(bool compositing);
    // The colour the window paints: the background colour, made opaque without compositing.
    QColor paintedColor() const;

    void performMiniaturize() { showMinimized(); }

Q_SIGNALS:
    void windowDidResize();
    void windowWillMove();
    void windowWillClose();
    // The pointer entered (true) or left (false) the window.
    void pointerInside(bool inside);
    void feedDropped(const QString &address);
    // The application's locale changed: dates and times read differently.
    void localeDidChange();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static QString droppedText(const QMimeData *data);

    QColor m_background;
    bool m_compositing = true;
};
