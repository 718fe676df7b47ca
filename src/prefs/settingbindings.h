#pragma once

#include <QString>

class QAbstractButton;
class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;
class UserDefaults;

// Controls that show a setting and write it back as soon as the user changes them. Each follows
// later changes of the setting made elsewhere, for as long as the control exists.
namespace SettingBindings {
void bind(QAbstractButton *checkBox, UserDefaults &defaults, const QString &key);
void bind(QSpinBox *spinBox, UserDefaults &defaults, const QString &key);
// A slider of 0–100 for a setting of 0.0–1.0.
void bindFraction(QSlider *slider, UserDefaults &defaults, const QString &key);
// The item whose data equals the setting is selected; choosing an item stores its data.
void bindItemData(QComboBox *comboBox, UserDefaults &defaults, const QString &key);
} // namespace SettingBindings
