#pragma once

#include "prefs/preferencesservices.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QScreen;

// The appearance pane: font, sizes, icons, colours, opacity, the background gradient, the
// bar's placement and its screen. Every control writes its setting at once; the bar follows.
class AppearancePreferencesController : public QWidget {
    Q_OBJECT
public:
    explicit AppearancePreferencesController(const PreferencesServices &services, QWidget *parent = nullptr);

    float angle() const { return m_angle; }
    bool gradientEnabled() const { return m_angle > -1.0f; }

    // Points the gradient away from the edge the bar is placed at, when a gradient is on.
    void placementChangeAction();
    // Lists the screens, with the bar's screen selected.
    void updateScreenList();
    void changeScreenAction(int index);

    // "<name> (<width>x<height>)"; the name is the monitor's model, else its output, else "Unknown".
    static QString screenTitle(const QScreen &screen);

private:
    QWidget *buildFont();
    QWidget *buildIcons();
    QWidget *buildColors();
    QWidget *buildPlacement();
    void setAngle(float angle);
    void iconChoiceChanged(int index);
    void showIconChoice();
    void gradientToggled(bool on);

    const PreferencesServices m_services;
    float m_angle = -1.0f;
    QComboBox *m_icons = nullptr;
    QCheckBox *m_gradient = nullptr;
    QDoubleSpinBox *m_angleField = nullptr;
    QComboBox *m_placement = nullptr;
    QComboBox *m_screens = nullptr;
};
