#pragma once

#include <QEasingCurve>

// The timing shared by the bar's animations.
namespace AnimationTiming {

// Slow at both ends: the cubic Bézier through (0.42, 0) and (0.58, 1).
QEasingCurve easeInEaseOut();

// Slow at the start: the cubic Bézier through (0.42, 0) and (1, 1).
QEasingCurve easeIn();

// The duration of an animation whose caller names none.
inline constexpr int defaultDurationMs = 250;

} // namespace AnimationTiming
