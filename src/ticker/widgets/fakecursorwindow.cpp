#include "ticker/widgets/fakecursorwindow.h"

#include "ui/drawing/namedimage.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

bool onlyPrimaryButtonPressed()
{
    return QGuiApplication::mouseButtons() == Qt::LeftButton;
}

} // namespace

// An override-redirect window: it moves exactly where it is put, stays above the bar and never
// takes the keyboard focus from the application the user works in.
FakeCursorWindow::FakeCursorWindow(const QRect &contentRect, QWidget *controlledWindow)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      m_controlledWindow(controlledWindow)
{
    setObjectName(QStringLiteral("fakeCursorWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setGeometry(contentRect);
}

FakeCursorWindow::~FakeCursorWindow()
{
    showCursor();
}

void FakeCursorWindow::hideCursor()
{
    if (m_hidden)
        return;
    // Set first: showing and hiding the window sends enter and leave events that come back here.
    m_hidden = true;
    // Over every window of the application, so the bar's edge shows no second cursor either.
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    centreOn(QCursor::pos());
    show();
    m_cursorTimer = new QTimer(this);
    m_cursorTimer->setInterval(followIntervalMs);
    connect(m_cursorTimer, &QTimer::timeout, this, [this] { mouseMoved(QCursor::pos()); });
    m_cursorTimer->start();
}

void FakeCursorWindow::showCursor()
{
    if (!m_hidden)
        return;
    m_hidden = false;
    delete m_cursorTimer;
    m_cursorTimer = nullptr;
    hide();
    QGuiApplication::restoreOverrideCursor();
}

void FakeCursorWindow::paintEvent(QPaintEvent *)
{
    const QImage cursor = NamedImage::render(QStringLiteral("resize-cursor"), devicePixelRatioF());
    QRectF target(QPointF(0, 0), cursor.deviceIndependentSize());
    target.moveCenter(QRectF(rect()).center());
    QPainter(this).drawImage(target.topLeft(), cursor);
}

void FakeCursorWindow::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pointer = event->globalPosition().toPoint();
    if (event->buttons() & Qt::LeftButton)
        mouseDragged(pointer);
    else
        mouseMoved(pointer);
}

void FakeCursorWindow::leaveEvent(QEvent *)
{
    mouseExited();
}

void FakeCursorWindow::mouseMoved(const QPoint &pointer)
{
    centreOn(pointer);
    if (std::abs(distanceFromDraggedEdge(pointer)) >= proximity && !onlyPrimaryButtonPressed())
        showCursor();
}

void FakeCursorWindow::mouseExited()
{
    if (onlyPrimaryButtonPressed())
        hideCursor();
    else
        showCursor();
}

void FakeCursorWindow::mouseDragged(const QPoint &pointer)
{
    if (!m_controlledWindow)
        return;
    QRect frame = m_controlledWindow->geometry();
    const QRect visible = visibleFrame();
    if (touchesScreenLeftSide(frame)) {
        frame.setWidth(std::clamp(pointer.x() - visible.x(), minimumWidth, maximumWidth));
    } else {
        const int right = frame.x() + frame.width();
        const int width = std::clamp(right - pointer.x(), minimumWidth, maximumWidth);
        frame.setRect(right - width, frame.y(), width, frame.height());
    }
    m_controlledWindow->setGeometry(frame);
    centreOn(pointer);
}

void FakeCursorWindow::centreOn(const QPoint &pointer)
{
    move(pointer - QPoint(width() / 2, height() / 2));
}

// The edge that a drag moves: the right one for a bar at the screen's left side, else the left
// one. Measuring from the window's width alone would only fit a bar at desktop x 0.
int FakeCursorWindow::distanceFromDraggedEdge(const QPoint &pointer) const
{
    if (!m_controlledWindow)
        return 0;
    const QRect frame = m_controlledWindow->geometry();
    const int edge = touchesScreenLeftSide(frame) ? frame.x() + frame.width() : frame.x();
    return pointer.x() - edge;
}

bool FakeCursorWindow::touchesScreenLeftSide(const QRect &frame) const
{
    return frame.x() == visibleFrame().x();
}

QRect FakeCursorWindow::visibleFrame() const
{
    const QScreen *screen = m_controlledWindow ? m_controlledWindow->screen() : nullptr;
    return screen ? screen->availableGeometry() : QRect();
}
