#pragma once

#include <QAbstractButton>
#include <QRect>

// A borderless image button of the tool row that glows under the pointer: it rests at
// `inactiveAlpha` (0.3) and fades to full alpha in 0.1 s while the pointer is over it. With
// `respectsState`, a button that is on (checked) stays at full alpha.
//
// The pointer is only tracked once setUseTrackingArea(true) asks for it; the tracked area
// leaves out the rightmost 4 pixels.
class GlowButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int alphaAnimationDurationMs = 100;
    static constexpr double defaultInactiveAlpha = 0.3;

    explicit GlowButton(QWidget *parent = nullptr);

    bool useTrackingArea() const { return m_tracking; }
    void setUseTrackingArea(bool use);

    bool respectsState() const { return m_respectsState; }
    void setRespectsState(bool respects) { m_respectsState = respects; }

    double inactiveAlpha() const { return m_inactiveAlpha; }
    void setInactiveAlpha(double alpha) { m_inactiveAlpha = alpha; }

    // The state is the checked state of a checkable button.
    bool state() const { return isChecked(); }
    // Sets the state only.
    void setState(bool on) { setChecked(on); }
    // Sets the state and, at once, the alpha that goes with it.
    void updateState(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect trackingRect() const;
    void trackPointer(bool inside);
    void pointerEntered();
    void pointerExited();
    void animateAlpha(double alpha);

    bool m_tracking = false;
    bool m_pointerInside = false;
    bool m_respectsState = false;
    bool m_pressed = false;
    double m_inactiveAlpha = defaultInactiveAlpha;
};
