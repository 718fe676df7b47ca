#pragma once

#include "ui/animation/animationtiming.h"

#include <QEasingCurve>
#include <QObject>
#include <QPointer>

class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QWidget;

// The alpha value of a widget (0 transparent, 1 opaque) and its animation. At alpha 1 a widget
// paints directly; at any other value it is drawn through an opacity effect. Setting a value or
// starting an animation replaces the widget's running alpha animation. Alpha changes looks
// only: a widget at alpha 0 still takes the mouse. Main thread only.
class ViewAlpha final : public QObject {
    Q_OBJECT
    Q_PROPERTY(qreal alphaValue READ alphaValue WRITE setAlphaValue)

public:
    // 1 for a widget whose alpha was never changed.
    static qreal of(const QWidget *view);
    static void set(QWidget *view, qreal alpha);

    // Starts an animation from the current alpha to `alpha`; it is deleted when it stops.
    static QPropertyAnimation *animate(QWidget *view, qreal alpha,
                                       int durationMs = AnimationTiming::defaultDurationMs,
                                       const QEasingCurve &easing = QEasingCurve::Linear);

    // Whether an alpha animation of the widget is running.
    static bool isAnimating(const QWidget *view);

    qreal alphaValue() const { return m_alpha; }
    void setAlphaValue(qreal alpha);

private:
    explicit ViewAlpha(QWidget *view);
    static ViewAlpha *find(const QWidget *view);
    static ViewAlpha *attach(QWidget *view);
    void stopAnimation();

    QWidget *m_view;
    qreal m_alpha = 1.0;
    QPointer<QGraphicsOpacityEffect> m_effect;
    QPointer<QPropertyAnimation> m_animation;
};
