#include "ticker/bar/x11desktop.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != "xcb"_L1)
        return nullptr;
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const QByteArray &name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData());
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

int defaultScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    return dot > colon ? display.mid(dot + 1).toInt() : 0;
}

void setCardinals(xcb_connection_t *c, QWindow *window, const QByteArray &property, const uint32_t *values,
                  uint32_t count)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom(c, property),
                        XCB_ATOM_CARDINAL, 32, count, values);
}
} // namespace

bool X11Desktop::isAvailable()
{
    return connection() != nullptr;
}

bool X11Desktop::hasCompositingManager()
{
    xcb_connection_t *c = connection();
    if (!c)
        return false;
    const xcb_atom_t selection = atom(c, "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber()));
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

// The strut counts from the edge of the whole X screen, in device pixels.
void X11Desktop::reserveEdge(QWindow *window, const QRect &frame, bool onLeft)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return;
    const qreal ratio = window->devicePixelRatio();
    QRect desktop;
    for (const QScreen *screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    const auto px = [ratio](int points) { return uint32_t(std::max(0, qRound(points * ratio))); };
    std::array<uint32_t, 12> strut{};
    const uint32_t top = px(frame.top()), bottom = px(frame.bottom());
    if (onLeft) {
        strut[0] = px(frame.right() + 1 - desktop.left());
        strut[4] = top;
        strut[5] = bottom;
    } else {
        strut[1] = px(desktop.right() + 1 - frame.left());
        strut[6] = top;
        strut[7] = bottom;
    }
    setCardinals(c, window, "_NET_WM_STRUT_PARTIAL", strut.data(), 12);
    setCardinals(c, window, "_NET_WM_STRUT", strut.data(), 4);
    xcb_flush(c);
}

void X11Desktop::releaseEdge(QWindow *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    xcb_delete_property(c, id, atom(c, "_NET_WM_STRUT_PARTIAL"));
    xcb_delete_property(c, id, atom(c, "_NET_WM_STRUT"));
    xcb_flush(c);
}
