#pragma once

#include <QPointer>
#include <QWidget>

class FakeCursorWindow;

// The 3-pixel strip along the docked bar's inner edge (the right edge of a bar on the left, the
// left edge of a bar on the right). The pointer entering it hands over to the fake cursor, from
// which the user drags the bar's width.
class EdgeStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 3;

    EdgeStrip(FakeCursorWindow &fakeCursor, QWidget &window);

    // Stands at the inner edge for a location (0 left, 1 right); the free window (2) has none.
    void place(int location);

protected:
    void enterEvent(QEnterEvent *event) override;

private:
    QPointer<FakeCursorWindow> m_fakeCursor;
};
