#pragma once

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

class QPropertyAnimation;

// The document of the bar's scroll area: holds the rows and animates its own growth.
//
// Subview frames are given with y growing upwards from the list's bottom edge (row i of n at
// y = (i - 1) × row height), so rows keep their distance to the bottom edge when the list's
// height changes and follow its width: when the list grows, every row moves down and the slot
// at the top opens up for the newest one.
class ListView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QSize frameSize READ frameSize WRITE setFrameSize)

public:
    static constexpr int frameSizeAnimationDurationMs = 1000;

    explicit ListView(QWidget *parent = nullptr);
    // A running frame-size animation ends without reporting to the list being destroyed.
    ~ListView() override;

    // Whether a frame-size animation is running (callers also set it just before starting one).
    bool isAnimating() const { return m_animating; }
    void setAnimating(bool animating) { m_animating = animating; }

    // The view that fades in (alpha to 1) when the running frame-size animation ends; the
    // previous target is forgotten. Not owned: the list's rows are the list's children.
    QWidget *resizeTarget() const { return m_resizeTarget; }
    void setResizeTarget(QWidget *view);

    QSize frameSize() const { return size(); }
    // Resizes at once, keeping the subviews' bottom-up frames.
    void setFrameSize(const QSize &size);
    // Resizes over one second, easing in and out. A running frame-size animation stops first
    // and finishes as if it had ended.
    void animateFrameSize(const QSize &size);

    // Places a child (made one if it is not) at `frame`, y upwards from the list's bottom edge.
    void setSubviewFrame(QWidget *view, const QRect &frame);
    // The frame last given, adjusted to the list's width since; an empty rectangle for a
    // view that was never placed.
    QRect subviewFrame(const QWidget *view) const;

    // The part of the list its parent shows (the scroll area's viewport), y upwards from the
    // list's bottom edge; the whole list when it has no parent.
    QRect visibleRect() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    // A subview's place, kept as the distances the list's resizing must preserve.
    struct Placement {
        int x = 0;
        int bottom = 0;
        int height = 0;
        int rightMargin = 0;
    };

    void animationDidStart(QPropertyAnimation *animation);
    void animationDidStop();
    void layoutSubview(QWidget *view, const Placement &placement);
    void layoutSubviews();

    bool m_animating = false;
    QPointer<QWidget> m_resizeTarget;
    QPointer<QPropertyAnimation> m_runningAnimation;
    QHash<const QObject *, Placement> m_placements;
};
