#include "prefsfixture.h"

#include "prefs/appearancepreferencescontroller.h"
#include "prefs/colorchooserpopupbutton.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace {

class AppearancePaneTest : public PrefsFixture {
protected:
    AppearancePreferencesController &pane()
    {
        if (!window)
            openWindow(PreferencesController::AppearanceTag);
        return *window->appearancePreferencesController();
    }
    // Chooses the item as a user does with the keyboard, which reports it activated.
    static void choose(QComboBox *comboBox, int index)
    {
        comboBox->setFocus();
        while (comboBox->currentIndex() < index)
            QTest::keyClick(comboBox, Qt::Key_Down);
        while (comboBox->currentIndex() > index)
            QTest::keyClick(comboBox, Qt::Key_Up);
    }
    // Every value the store announced for the key, as it announced them.
    QVariantList &recordChanges(const QString &key)
    {
        auto &seen = changes[key];
        defaults.observe(key, window.get(), [&seen](const QVariant &value) { seen.append(value); });
        seen.clear();
        return seen;
    }
    std::map<QString, QVariantList> changes;
};

TEST_F(AppearancePaneTest, WithAGradientPlacementTurnsItAwayFromTheEdge)
{
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    pane();
    auto *placement = find<QComboBox>(u"placementPopUpButton"_s);
    choose(placement, 1);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::location), 1);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), 180.0);
    choose(placement, 2);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), 270.0);
    choose(placement, 0);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), 0.0);
}

TEST_F(AppearancePaneTest, WithoutAGradientPlacementLeavesTheAngleOff)
{
    pane();
    EXPECT_FALSE(pane().gradientEnabled());
    EXPECT_FALSE(find<QCheckBox>(u"gradientButton"_s)->isChecked());
    choose(find<QComboBox>(u"placementPopUpButton"_s), 1);
    EXPECT_EQ(defaults.integerForKey(SettingsKey::location), 1);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), -1.0);
}

TEST_F(AppearancePaneTest, TheGradientCheckboxTurnsTheGradientOnForThePlacementAndOff)
{
    defaults.setObject(1, SettingsKey::location);
    pane();
    auto *gradient = find<QCheckBox>(u"gradientButton"_s);
    clickBox(gradient);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), 180.0);
    EXPECT_TRUE(pane().gradientEnabled());
    EXPECT_TRUE(find<QWidget>(u"gradientAngleField"_s)->isEnabled());
    clickBox(gradient);
    EXPECT_EQ(defaults.doubleForKey(SettingsKey::gradientAngle), -1.0);
    EXPECT_FALSE(find<QWidget>(u"gradientAngleField"_s)->isEnabled());
}

TEST_F(AppearancePaneTest, IconChoicesSetWhetherAndHowIconsShow)
{
    pane();
    auto *icons = find<QComboBox>(u"iconSizePopUpButton"_s);
    EXPECT_EQ(icons->currentIndex(), 0);
    choose(icons, 1);
    EXPECT_TRUE(defaults.boolForKey(SettingsKey::displayImage));
    EXPECT_TRUE(defaults.boolForKey(SettingsKey::smallImage));
    choose(icons, 2);
    EXPECT_FALSE(defaults.boolForKey(SettingsKey::displayImage));
    defaults.setObject(true, SettingsKey::displayImage);
    EXPECT_EQ(icons->currentIndex(), 1);
}

// The bar follows its settings through the store: each control must have written its setting by
// the time the user's action returns, without waiting for the event loop.
TEST_F(AppearancePaneTest, TheBarsSettingsAreWrittenInTheTurnOfTheUsersAction)
{
    pane();
    QVariantList &background = recordChanges(SettingsKey::backgroundColor);
    QVariantList &height = recordChanges(SettingsKey::itemHeight);
    QVariantList &location = recordChanges(SettingsKey::location);
    QVariantList &opacity = recordChanges(SettingsKey::opacity);
    QVariantList &font = recordChanges(SettingsKey::fontSize);

    auto *colour = find<ColorChooserPopUpButton>(u"backgroundColorButton"_s);
    choose(colour, colour->findText(u"Navy"_s));
    auto *itemHeight = find<QSpinBox>(u"itemHeightField"_s);
    itemHeight->setFocus();
    QTest::keyClick(itemHeight, Qt::Key_Up);
    choose(find<QComboBox>(u"placementPopUpButton"_s), 1);
    QTest::keyClick(find<QSlider>(u"opacitySlider"_s), Qt::Key_PageUp);
    auto *fontSize = find<QSpinBox>(u"fontSizeField"_s);
    fontSize->setFocus();
    QTest::keyClick(fontSize, Qt::Key_Up);

    ASSERT_FALSE(background.isEmpty()); // each item passed on the way was written too
    EXPECT_EQ(Archive::unarchiveIfBlob(background.last()).value<QColor>(),
              colour->itemData(colour->currentIndex()).value<QColor>());
    EXPECT_EQ(colour->currentText(), u"Navy"_s);
    EXPECT_EQ(height, QVariantList{79});
    EXPECT_EQ(location, QVariantList{1});
    ASSERT_EQ(opacity.size(), 1);
    EXPECT_GT(opacity.first().toDouble(), 0.75);
    EXPECT_EQ(font, QVariantList{13});
}

TEST_F(AppearancePaneTest, TheFontListShowsTheChosenFontEvenWhenItIsMissing)
{
    pane();
    auto *fonts = find<QComboBox>(u"fontNamesPopUpButton"_s);
    EXPECT_EQ(fonts->currentText(), u"Helvetica"_s);
    choose(fonts, fonts->currentIndex() + 1);
    EXPECT_EQ(defaults.stringForKey(SettingsKey::fontName), fonts->currentText());
}

// ---- Colour buttons

class ColorButtonTest : public PrefsFixture {
protected:
    ColorButtonTest()
    {
        button.setShowNone(true);
        button.bindToUserDefaults(defaults, SettingsKey::markBackgroundColor);
        button.show();
    }
    int indexOf(const QString &title) const { return button.findText(title); }
    void activate(int index)
    {
        button.setCurrentIndex(index);
        Q_EMIT button.activated(index);
    }
    ColorChooserPopUpButton button;
};

TEST_F(ColorButtonTest, NoneIsStoredAsNoColourAndADefaultColourSelectsItsItem)
{
    EXPECT_EQ(button.itemText(0), u"None"_s);
    EXPECT_EQ(button.itemText(button.count() - 1), u"Other…"_s);
    EXPECT_EQ(button.currentIndex(), 0);

    activate(indexOf(u"Red"_s));
    const QColor red = button.itemData(indexOf(u"Red"_s)).value<QColor>();
    EXPECT_EQ(defaults.colorForKey(SettingsKey::markBackgroundColor), red);
    activate(0);
    EXPECT_FALSE(defaults.objectForKey(SettingsKey::markBackgroundColor).isValid());
    EXPECT_FALSE(button.color().isValid());

    defaults.setObject(red, SettingsKey::markBackgroundColor);
    EXPECT_EQ(button.currentText(), u"Red"_s);
}

TEST_F(ColorButtonTest, ACustomColourShowsOnOtherAndTheNextPanelStartsFromIt)
{
    const QColor teal(0, 128, 128);
    activate(button.count() - 1);
    QColorDialog *panel = button.colorPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->objectName(), u"colorPanel"_s);
    panel->setCurrentColor(teal);
    EXPECT_EQ(button.color(), teal);
    EXPECT_EQ(defaults.colorForKey(SettingsKey::markBackgroundColor), teal);
    EXPECT_EQ(button.currentIndex(), button.count() - 1);
    EXPECT_EQ(button.itemData(button.count() - 1).value<QColor>(), teal);
    EXPECT_FALSE(button.itemIcon(button.count() - 1).isNull());
    panel->reject();
    ASSERT_TRUE(waitFor([&] { return button.colorPanel() == nullptr; }));

    activate(indexOf(u"Red"_s));
    activate(button.count() - 1);
    ASSERT_NE(button.colorPanel(), nullptr);
    EXPECT_EQ(button.colorPanel()->currentColor(), teal);
    EXPECT_EQ(button.color(), teal);
    button.colorPanel()->reject();
}

TEST_F(ColorButtonTest, ResetReportsTheDefaultColour)
{
    const QColor blue(0, 0, 255);
    button.setDefaultColor(blue);
    activate(indexOf(u"Red"_s));
    QList<QColor> reported;
    QObject::connect(&button, &ColorChooserPopUpButton::colorDidChange, &button,
                     [&](ColorChooserPopUpButton *sender) { reported.append(sender->color()); });
    button.reset();
    EXPECT_EQ(reported, QList<QColor>{blue});
    EXPECT_EQ(defaults.colorForKey(SettingsKey::markBackgroundColor), blue);
}

TEST_F(ColorButtonTest, EachSwatchIsTheColourFramedInBlack)
{
    const QImage swatch = ColorChooserPopUpButton::swatch(QColor(0, 200, 0))
                              .pixmap(ColorChooserPopUpButton::swatchSize)
                              .toImage();
    ASSERT_EQ(swatch.size(), ColorChooserPopUpButton::swatchSize);
    EXPECT_EQ(swatch.pixelColor(7, 5), QColor(0, 200, 0));
    EXPECT_EQ(swatch.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(swatch.pixelColor(14, 9), QColor(Qt::black));
}

// ---- Screens (run with two offscreen screens, see CMakeLists.txt)

TEST_F(AppearancePaneTest, TheScreenListNamesEachScreenWithItsSizeAndChoosingOneStoresIt)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "runs with two screens";
    pane();
    auto *list = find<QComboBox>(u"screensPopUpButton"_s);
    ASSERT_EQ(list->count(), screens.size());
    for (int i = 0; i < screens.size(); ++i) {
        const QSize size = screens.at(i)->size();
        EXPECT_EQ(list->itemText(i),
                  u"%1 (%2x%3)"_s.arg(screens.at(i)->name()).arg(size.width()).arg(size.height()));
    }
    EXPECT_EQ(list->currentIndex(), screens.indexOf(QGuiApplication::primaryScreen()));
    QVariantList &stored = recordChanges(SettingsKey::screen);
    choose(list, 1);
    EXPECT_EQ(stored, QVariantList{screens.at(1)->name()});
    defaults.setObject(screens.at(0)->name(), SettingsKey::screen);
    EXPECT_EQ(list->currentIndex(), 0);
}

TEST_F(AppearancePaneTest, TwoScreensOfTheSameSizeAreEachListed)
{
    if (QGuiApplication::screens().size() < 3)
        GTEST_SKIP() << "runs with the screen file of three";
    pane();
    auto *list = find<QComboBox>(u"screensPopUpButton"_s);
    ASSERT_EQ(list->count(), 3);
    QStringList alike;
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).startsWith(u"DP-"_s))
            alike.append(list->itemText(i).section(u' ', 1));
    }
    EXPECT_EQ(alike, (QStringList{u"(1280x1024)"_s, u"(1280x1024)"_s}));
}

} // namespace
