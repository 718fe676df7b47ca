#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

class UserDefaults;

// The settings every headline row of the bar follows, read once for all rows and announced to
// them as they change. Colours are invalid while their setting holds none, except the general
// font colour, which is white until a colour arrives and then keeps the last one.
class RowSettings : public QObject {
    Q_OBJECT

public:
    explicit RowSettings(UserDefaults &defaults, QObject *parent = nullptr);

    UserDefaults &defaults() const { return m_defaults; }

    QColor fontColor() const { return m_fontColor; }
    QColor markFontColor() const { return m_markFontColor; }
    QColor markBackgroundColor() const { return m_markBackgroundColor; }
    // The general row colour (of feeds without their own), at full alpha; invalid without one.
    QColor backgroundColor() const { return m_backgroundColor; }
    double opacity() const { return m_opacity; }
    // 0 the bar docked on the left edge, 1 on the right edge, 2 a free window.
    int windowLocation() const { return m_windowLocation; }
    // Degrees; negative means no gradient.
    float gradientAngle() const { return m_gradientAngle; }
    bool displayImage() const { return m_displayImage; }
    bool smallImage() const { return m_smallImage; }
    float imageWidth() const { return m_imageWidth; }
    // "fontName" at "fontSize" rounded, and at 0.9 of that for the source line.
    const QFont &titleFont() const { return m_titleFont; }
    const QFont &sourceFont() const { return m_sourceFont; }
    // Read when asked, as a click needs it.
    bool enablePreview() const;

    // What the bar window paints behind the rows: the background colour at the opacity, fully
    // transparent where a gradient view paints instead; invalid without a background colour.
    QColor windowBackgroundColor() const;

Q_SIGNALS:
    void fontColorChanged();
    void markFontColorChanged();
    void markBackgroundColorChanged();
    void backgroundColorChanged();
    void opacityChanged();
    void windowLocationChanged();
    void gradientAngleChanged();
    void displayImageChanged();
    // smallImage or imageWidth
    void iconGeometryChanged();
    void keywordsChanged();
    void fontsChanged();

private:
    void readFonts();

    UserDefaults &m_defaults;
    QColor m_fontColor = Qt::white;
    QColor m_markFontColor;
    QColor m_markBackgroundColor;
    QColor m_backgroundColor;
    double m_opacity = 1.0;
    int m_windowLocation = 0;
    float m_gradientAngle = -1.0f;
    bool m_displayImage = true;
    bool m_smallImage = false;
    float m_imageWidth = 0.0f;
    QFont m_titleFont;
    QFont m_sourceFont;
};
