#pragma once

#include <QColor>
#include <QWidget>

class UserDefaults;

// The bar's background: a linear gradient from the background colour (at the opacity
// setting's alpha) to transparent, at the "gradientAngle" setting's angle in degrees
// (0 left to right, 90 bottom to top). A negative angle draws nothing. Follows the
// "backgroundColor", "opacity" and "gradientAngle" settings for its whole life.
class VTGradientView : public QWidget {
    Q_OBJECT

public:
    explicit VTGradientView(UserDefaults &defaults, QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);

    float gradientAngle() const { return m_gradientAngle; }
    void setGradientAngle(float degrees);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void backgroundColorDidChange();
    void gradientAngleDidChange();

    UserDefaults &m_defaults;
    QColor m_backgroundColor;
    float m_gradientAngle = -1.0f;
};
