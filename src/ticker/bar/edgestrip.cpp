#include "ticker/bar/edgestrip.h"

#include "ticker/bar/windowplacement.h"
#include "ticker/widgets/fakecursorwindow.h"

using namespace Qt::StringLiterals;

EdgeStrip::EdgeStrip(FakeCursorWindow &fakeCursor, QWidget &window)
    : QWidget(&window), m_fakeCursor(&fakeCursor)
{
    setObjectName(u"edgeStrip"_s);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::SizeHorCursor);
}

void EdgeStrip::place(int location)
{
    if (!WindowPlacement::isDocked(location)) {
        hide();
        return;
    }
    const QWidget *window = parentWidget();
    const int x = location == WindowPlacement::Left ? window->width() - width : 0;
    setGeometry(x, 0, width, window->height());
    show();
    raise();
}

void EdgeStrip::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (m_fakeCursor)
        m_fakeCursor->hideCursor();
}
