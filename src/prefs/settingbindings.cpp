#include "prefs/settingbindings.h"

#include "platform/userdefaults.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

void SettingBindings::bind(QAbstractButton *checkBox, UserDefaults &defaults, const QString &key)
{
    checkBox->setCheckable(true);
    defaults.observe(key, checkBox, [checkBox, &defaults, key](const QVariant &) {
        const QSignalBlocker blocker(checkBox);
        checkBox->setChecked(defaults.boolForKey(key));
    });
    QObject::connect(checkBox, &QAbstractButton::toggled, checkBox,
                     [&defaults, key](bool checked) { defaults.setObject(checked, key); });
}

void SettingBindings::bind(QSpinBox *spinBox, UserDefaults &defaults, const QString &key)
{
    defaults.observe(key, spinBox, [spinBox, &defaults, key](const QVariant &) {
        const QSignalBlocker blocker(spinBox);
        spinBox->setValue(int(defaults.integerForKey(key)));
    });
    QObject::connect(spinBox, &QSpinBox::valueChanged, spinBox,
                     [&defaults, key](int value) { defaults.setObject(value, key); });
}

void SettingBindings::bindFraction(QSlider *slider, UserDefaults &defaults, const QString &key)
{
    slider->setRange(0, 100);
    defaults.observe(key, slider, [slider, &defaults, key](const QVariant &) {
        const QSignalBlocker blocker(slider);
        slider->setValue(int(std::lround(defaults.doubleForKey(key) * 100.0)));
    });
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [&defaults, key](int value) { defaults.setObject(value / 100.0, key); });
}

void SettingBindings::bindItemData(QComboBox *comboBox, UserDefaults &defaults, const QString &key)
{
    defaults.observe(key, comboBox, [comboBox, &defaults, key](const QVariant &) {
        const QSignalBlocker blocker(comboBox);
        const QVariant value = defaults.objectForKey(key);
        for (int i = 0; i < comboBox->count(); ++i) {
            if (comboBox->itemData(i).toString() == value.toString()) {
                comboBox->setCurrentIndex(i);
                return;
            }
        }
    });
    QObject::connect(comboBox, &QComboBox::activated, comboBox, [comboBox, &defaults, key](int index) {
        defaults.setObject(comboBox->itemData(index), key);
    });
}
