#pragma once

#include <QObject>

class QTimer;

// Whether translucent pixels of the bar blend with what lies behind it. On X11 that takes a
// compositing manager, which may start or stop at any time: the watch asks the X server every
// few seconds. Other platforms compose by themselves.
class CompositorWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int pollIntervalMs = 5000;

    explicit CompositorWatch(QObject *parent = nullptr);

    bool isCompositing() const { return m_compositing; }
    // Takes a new answer; announces a change.
    void setCompositing(bool compositing);

Q_SIGNALS:
    void compositingChanged(bool compositing);

private:
    void poll();

    bool m_compositing = true;
    QTimer *m_timer = nullptr;
};
