#include "ticker/rows/rowsettings.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <algorithm>
#include <cmath>

RowSettings::RowSettings(UserDefaults &defaults, QObject *parent) : QObject(parent), m_defaults(defaults)
{
    namespace Key = SettingsKey;
    defaults.observe(Key::fontColor, this, [this](const QVariant &) {
        const QColor color = m_defaults.colorForKey(SettingsKey::fontColor);
        if (color.isValid())
            m_fontColor = color;
        Q_EMIT fontColorChanged();
    });
    defaults.observe(Key::markFontColor, this, [this](const QVariant &) {
        m_markFontColor = m_defaults.colorForKey(SettingsKey::markFontColor);
        Q_EMIT markFontColorChanged();
    });
    defaults.observe(Key::markBackgroundColor, this, [this](const QVariant &) {
        m_markBackgroundColor = m_defaults.colorForKey(SettingsKey::markBackgroundColor);
        Q_EMIT markBackgroundColorChanged();
    });
    defaults.observe(Key::backgroundColor, this, [this](const QVariant &) {
        m_backgroundColor = m_defaults.colorForKey(SettingsKey::backgroundColor);
        Q_EMIT backgroundColorChanged();
    });
    defaults.observe(Key::opacity, this, [this](const QVariant &) {
        m_opacity = std::clamp(m_defaults.doubleForKey(SettingsKey::opacity), 0.0, 1.0);
        Q_EMIT opacityChanged();
    });
    defaults.observe(Key::location, this, [this](const QVariant &) {
        m_windowLocation = int(m_defaults.integerForKey(SettingsKey::location));
        Q_EMIT windowLocationChanged();
    });
    defaults.observe(Key::gradientAngle, this, [this](const QVariant &) {
        m_gradientAngle = float(m_defaults.doubleForKey(SettingsKey::gradientAngle));
        Q_EMIT gradientAngleChanged();
    });
    defaults.observe(Key::displayImage, this, [this](const QVariant &) {
        m_displayImage = m_defaults.boolForKey(SettingsKey::displayImage);
        Q_EMIT displayImageChanged();
    });
    defaults.observe(Key::smallImage, this, [this](const QVariant &) {
        m_smallImage = m_defaults.boolForKey(SettingsKey::smallImage);
        Q_EMIT iconGeometryChanged();
    });
    defaults.observe(Key::imageWidth, this, [this](const QVariant &) {
        m_imageWidth = std::max(0.0f, float(m_defaults.doubleForKey(SettingsKey::imageWidth)));
        Q_EMIT iconGeometryChanged();
    });
    defaults.observe(Key::keywords, this, [this](const QVariant &) { Q_EMIT keywordsChanged(); });
    defaults.observe(Key::fontSize, this, [this](const QVariant &) { readFonts(); });
    defaults.observe(Key::fontName, this, [this](const QVariant &) { readFonts(); });
}

bool RowSettings::enablePreview() const
{
    return m_defaults.boolForKey(SettingsKey::enablePreview);
}

QColor RowSettings::windowBackgroundColor() const
{
    QColor color = m_backgroundColor;
    if (!color.isValid())
        return color;
    color.setAlphaF(m_gradientAngle > -1.0f ? 0.0f : float(m_opacity));
    return color;
}

// A size below one point would make no font at all; it reads as the smallest there is.
void RowSettings::readFonts()
{
    const QString family = m_defaults.stringForKey(SettingsKey::fontName);
    const double size = std::max(1.0, double(std::lround(m_defaults.doubleForKey(SettingsKey::fontSize))));
    m_titleFont = QFont(family);
    m_titleFont.setPointSizeF(size);
    m_sourceFont = QFont(family);
    m_sourceFont.setPointSizeF(0.9 * size);
    Q_EMIT fontsChanged();
}
