#pragma once

#include <QColor>
#include <QColorDialog>
#include <QComboBox>
#include <QPointer>
#include <QString>

class UserDefaults;

// A pop-up of colours: "None" (when shown), the default colours by name with a swatch, and
// "Other…", which opens the colour panel and then shows the custom colour's swatch. Bound to a
// setting, it shows the setting and writes every choice to it; colorDidChange follows every change.
class ColorChooserPopUpButton : public QComboBox {
    Q_OBJECT
public:
    static constexpr QSize swatchSize{15, 10};

    explicit ColorChooserPopUpButton(QWidget *parent = nullptr);
    ~ColorChooserPopUpButton() override;

    QColor color() const { return m_color; }
    QColor defaultColor() const { return m_defaultColor; }
    bool showNone() const { return m_showNone; }
    void setShowNone(bool showNone);

    // Follows the setting from now on (its current value at once) and writes choices to it. A
    // choice of no colour removes the key, which then reads as the registered default or none.
    void bindToUserDefaults(UserDefaults &defaults, const QString &key);
    QString userDefaultsKey() const { return m_key; }

    // The central setter: shows the colour, writes it to the bound setting, reports it.
    void changeColor(const QColor &color);
    // Stores the colour `reset` returns to, then changes to it.
    void setDefaultColor(const QColor &color);
    void reset() { changeColor(m_defaultColor); }

    // The colour panel while it is open (objectName "colorPanel").
    QColorDialog *colorPanel() const { return m_panel; }
    // Opens the colour panel, as the "Other…" item does.
    void showColorPanel();

    static QIcon swatch(const QColor &color);

Q_SIGNALS:
    void colorDidChange(ColorChooserPopUpButton *button);

private:
    void buildMenu();
    int otherIndex() const { return count() - 1; }
    void itemChosen(int index);
    void panelColorChanged(const QColor &color);
    void panelClosed();
    void setOtherColor(const QColor &color);
    void updateSelection();
    void store();
    void unbind();

    QColor m_color;
    QColor m_defaultColor;
    QString m_key;
    UserDefaults *m_defaults = nullptr;
    quint64 m_observation = 0;
    bool m_showNone = false;
    QPointer<QColorDialog> m_panel;
};
