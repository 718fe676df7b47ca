#include "ticker/widgets/vtgradientview.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "ui/drawing/anglegradient.h"

#include <QPainter>

#include <algorithm>

VTGradientView::VTGradientView(UserDefaults &defaults, QWidget *parent)
    : QWidget(parent), m_defaults(defaults)
{
    setObjectName(QStringLiteral("gradientView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_defaults.observe(SettingsKey::backgroundColor, this,
                       [this](const QVariant &) { backgroundColorDidChange(); });
    m_defaults.observe(SettingsKey::opacity, this, [this](const QVariant &) { backgroundColorDidChange(); });
    m_defaults.observe(SettingsKey::gradientAngle, this,
                       [this](const QVariant &) { gradientAngleDidChange(); });
}

void VTGradientView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void VTGradientView::setGradientAngle(float degrees)
{
    m_gradientAngle = degrees;
    update();
}

// A missing colour, or a stored value that holds none, keeps the colour drawn so far.
void VTGradientView::backgroundColorDidChange()
{
    QColor color = m_defaults.colorForKey(SettingsKey::backgroundColor);
    if (!color.isValid()) {
        update();
        return;
    }
    color.setAlphaF(std::clamp(float(m_defaults.doubleForKey(SettingsKey::opacity)), 0.0f, 1.0f));
    setBackgroundColor(color);
}

void VTGradientView::gradientAngleDidChange()
{
    setGradientAngle(float(m_defaults.doubleForKey(SettingsKey::gradientAngle)));
}

void VTGradientView::paintEvent(QPaintEvent *)
{
    if (m_gradientAngle < 0 || !m_backgroundColor.isValid())
        return;
    QColor transparent = m_backgroundColor;
    transparent.setAlphaF(0);
    QPainter painter(this);
    painter.fillRect(rect(),
                     AngleGradient::linear(QRectF(rect()), m_gradientAngle, m_backgroundColor, transparent));
}
