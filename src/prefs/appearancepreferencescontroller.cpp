#include "prefs/appearancepreferencescontroller.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/colorchooserpopupbutton.h"
#include "prefs/settingbindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

enum IconChoice { LargeIcons, SmallIcons, NoIcons };

QSpinBox *sizeBox(const QString &objectName, const QString &suffix, int minimum, int maximum,
                  UserDefaults &defaults, const QString &key)
{
    auto *box = new QSpinBox;
    box->setObjectName(objectName);
    box->setRange(minimum, maximum);
    box->setSuffix(suffix);
    SettingBindings::bind(box, defaults, key);
    return box;
}

ColorChooserPopUpButton *colorButton(const QString &objectName, UserDefaults &defaults, const QString &key,
                                     bool showNone = false)
{
    auto *button = new ColorChooserPopUpButton;
    button->setObjectName(objectName);
    button->setShowNone(showNone);
    button->bindToUserDefaults(defaults, key);
    return button;
}

float angleForLocation(qint64 location, float current)
{
    switch (location) {
    case 0:
        return 0.0f;
    case 1:
        return 180.0f;
    case 2:
        return 270.0f;
    default:
        return current;
    }
}

} // namespace

AppearancePreferencesController::AppearancePreferencesController(const PreferencesServices &services,
                                                                 QWidget *parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(u"appearanceView"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildFont());
    layout->addWidget(buildIcons());
    layout->addWidget(buildColors());
    layout->addWidget(buildPlacement());
    layout->addStretch(1);
    m_services.defaults.observe(SettingsKey::gradientAngle, this,
                                [this](const QVariant &value) { setAngle(value.toFloat()); });
}

QWidget *AppearancePreferencesController::buildFont()
{
    auto *box = new QGroupBox(tr("Text"));
    auto *fonts = new QComboBox;
    fonts->setObjectName(u"fontNamesPopUpButton"_s);
    QStringList families = QFontDatabase::families();
    // The chosen font stays listed even where it is not installed.
    const QString chosen = m_services.defaults.stringForKey(SettingsKey::fontName);
    if (!chosen.isEmpty() && !families.contains(chosen))
        families.prepend(chosen);
    for (const QString &family : std::as_const(families))
        fonts->addItem(family, family);
    SettingBindings::bindItemData(fonts, m_services.defaults, SettingsKey::fontName);
    auto *form = new QFormLayout(box);
    form->addRow(tr("&Font:"), fonts);
    form->addRow(tr("Font &size:"),
                 sizeBox(u"fontSizeField"_s, u" pt"_s, 6, 72, m_services.defaults, SettingsKey::fontSize));
    form->addRow(tr("&Row height:"), sizeBox(u"itemHeightField"_s, u" px"_s, 16, 400, m_services.defaults,
                                             SettingsKey::itemHeight));
    return box;
}

// ---- Icons

QWidget *AppearancePreferencesController::buildIcons()
{
    auto *box = new QGroupBox(tr("Feed icons"));
    m_icons = new QComboBox;
    m_icons->setObjectName(u"iconSizePopUpButton"_s);
    m_icons->addItems({tr("Large"), tr("Small, on the source line"), tr("None")});
    connect(m_icons, &QComboBox::activated, this, &AppearancePreferencesController::iconChoiceChanged);
    for (const QString &key : {QString(SettingsKey::displayImage), QString(SettingsKey::smallImage)})
        m_services.defaults.observe(key, m_icons, [this](const QVariant &) { showIconChoice(); });
    auto *form = new QFormLayout(box);
    form->addRow(tr("&Icons:"), m_icons);
    form->addRow(tr("Icon &width:"), sizeBox(u"imageWidthField"_s, u" px"_s, 8, 256, m_services.defaults,
                                             SettingsKey::imageWidth));
    return box;
}

void AppearancePreferencesController::iconChoiceChanged(int index)
{
    m_services.defaults.setObject(index != NoIcons, SettingsKey::displayImage);
    if (index != NoIcons)
        m_services.defaults.setObject(index == SmallIcons, SettingsKey::smallImage);
}

void AppearancePreferencesController::showIconChoice()
{
    const QSignalBlocker blocker(m_icons);
    if (!m_services.defaults.boolForKey(SettingsKey::displayImage))
        m_icons->setCurrentIndex(NoIcons);
    else
        m_icons->setCurrentIndex(m_services.defaults.boolForKey(SettingsKey::smallImage) ? SmallIcons
                                                                                         : LargeIcons);
}

// ---- Colours

QWidget *AppearancePreferencesController::buildColors()
{
    auto *box = new QGroupBox(tr("Colours"));
    auto *opacity = new QSlider(Qt::Horizontal);
    opacity->setObjectName(u"opacitySlider"_s);
    SettingBindings::bindFraction(opacity, m_services.defaults, SettingsKey::opacity);
    m_gradient = new QCheckBox(tr("&Gradient, at an angle of"));
    m_gradient->setObjectName(u"gradientButton"_s);
    connect(m_gradient, &QCheckBox::toggled, this, &AppearancePreferencesController::gradientToggled);
    m_angleField = new QDoubleSpinBox;
    m_angleField->setObjectName(u"gradientAngleField"_s);
    m_angleField->setRange(0.0, 359.0);
    m_angleField->setDecimals(0);
    m_angleField->setSuffix(u"°"_s);
    connect(m_angleField, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { m_services.defaults.setObject(value, SettingsKey::gradientAngle); });
    UserDefaults &defaults = m_services.defaults;
    auto *form = new QFormLayout(box);
    form->addRow(tr("&Background:"),
                 colorButton(u"backgroundColorButton"_s, defaults, SettingsKey::backgroundColor));
    form->addRow(tr("&Text:"), colorButton(u"fontColorButton"_s, defaults, SettingsKey::fontColor));
    form->addRow(tr("&Marked text:"),
                 colorButton(u"markFontColorButton"_s, defaults, SettingsKey::markFontColor));
    form->addRow(tr("Marked &row:"), colorButton(u"markBackgroundColorButton"_s, defaults,
                                                 SettingsKey::markBackgroundColor, true));
    form->addRow(tr("&Opacity:"), opacity);
    form->addRow(m_gradient, m_angleField);
    return box;
}

void AppearancePreferencesController::setAngle(float angle)
{
    m_angle = angle;
    const QSignalBlocker checkBlocker(m_gradient);
    const QSignalBlocker angleBlocker(m_angleField);
    m_gradient->setChecked(gradientEnabled());
    m_angleField->setEnabled(gradientEnabled());
    if (gradientEnabled())
        m_angleField->setValue(angle);
}

void AppearancePreferencesController::gradientToggled(bool on)
{
    const qint64 location = m_services.defaults.integerForKey(SettingsKey::location);
    m_services.defaults.setObject(on ? double(angleForLocation(location, 0.0f)) : -1.0,
                                  SettingsKey::gradientAngle);
}

void AppearancePreferencesController::placementChangeAction()
{
    const qint64 location = m_services.defaults.integerForKey(SettingsKey::location);
    const float current = float(m_services.defaults.doubleForKey(SettingsKey::gradientAngle));
    if (current > -1.0f)
        m_services.defaults.setObject(double(angleForLocation(location, current)),
                                      SettingsKey::gradientAngle);
}

// ---- Placement and screen

QWidget *AppearancePreferencesController::buildPlacement()
{
    auto *box = new QGroupBox(tr("Placement"));
    m_placement = new QComboBox;
    m_placement->setObjectName(u"placementPopUpButton"_s);
    m_placement->addItem(tr("Left edge"), 0);
    m_placement->addItem(tr("Right edge"), 1);
    m_placement->addItem(tr("Free window"), 2);
    SettingBindings::bindItemData(m_placement, m_services.defaults, SettingsKey::location);
    connect(m_placement, &QComboBox::activated, this,
            &AppearancePreferencesController::placementChangeAction);
    m_screens = new QComboBox;
    m_screens->setObjectName(u"screensPopUpButton"_s);
    connect(m_screens, &QComboBox::activated, this, &AppearancePreferencesController::changeScreenAction);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &AppearancePreferencesController::updateScreenList);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this,
            &AppearancePreferencesController::updateScreenList);
    m_services.defaults.observe(SettingsKey::screen, m_screens,
                                [this](const QVariant &) { updateScreenList(); });
    auto *onTop = new QCheckBox(tr("Keep the bar above other &windows"));
    onTop->setObjectName(u"alwaysOnTopButton"_s);
    SettingBindings::bind(onTop, m_services.defaults, SettingsKey::alwaysOnTop);
    auto *form = new QFormLayout(box);
    form->addRow(tr("&Place the bar at the:"), m_placement);
    form->addRow(tr("On the &screen:"), m_screens);
    form->addRow(QString(), onTop);
    return box;
}

QString AppearancePreferencesController::screenTitle(const QScreen &screen)
{
    QString name = screen.model().trimmed();
    if (name.isEmpty())
        name = screen.name();
    if (name.isEmpty())
        name = tr("Unknown");
    const QSize size = screen.size();
    return u"%1 (%2x%3)"_s.arg(name).arg(size.width()).arg(size.height());
}

void AppearancePreferencesController::updateScreenList()
{
    const QSignalBlocker blocker(m_screens);
    m_screens->clear();
    const QString chosen = m_services.defaults.stringForKey(SettingsKey::screen);
    const QList<QScreen *> screens = QGuiApplication::screens();
    int selected = -1;
    for (QScreen *screen : screens) {
        m_screens->addItem(screenTitle(*screen), screen->name());
        const bool isChosen =
            chosen.isEmpty() ? screen == QGuiApplication::primaryScreen() : screen->name() == chosen;
        if (isChosen && selected < 0)
            selected = m_screens->count() - 1;
    }
    m_screens->setCurrentIndex(selected);
}

void AppearancePreferencesController::changeScreenAction(int index)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (index >= 0 && index < screens.size())
        m_services.defaults.setObject(screens.at(index)->name(), SettingsKey::screen);
}
