#include "prefs/colorchooserpopupbutton.h"

#include "platform/userdefaults.h"
#include "prefs/defaultcolors.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

ColorChooserPopUpButton::ColorChooserPopUpButton(QWidget *parent) : QComboBox(parent)
{
    setIconSize(swatchSize);
    buildMenu();
    connect(this, &QComboBox::activated, this, &ColorChooserPopUpButton::itemChosen);
}

ColorChooserPopUpButton::~ColorChooserPopUpButton()
{
    unbind();
}

void ColorChooserPopUpButton::buildMenu()
{
    clear();
    if (m_showNone)
        addItem(tr("None"), QColor());
    for (const DefaultColors::Entry &entry : DefaultColors::entries())
        addItem(swatch(entry.color), entry.name, entry.color);
    addItem(tr("Other…"), QColor());
}

QIcon ColorChooserPopUpButton::swatch(const QColor &color)
{
    QPixmap pixmap(swatchSize);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(QPoint(0, 0), swatchSize - QSize(1, 1)));
    return QIcon(pixmap);
}

void ColorChooserPopUpButton::setShowNone(bool showNone)
{
    const QSignalBlocker blocker(this);
    if (showNone && !m_showNone)
        insertItem(0, tr("None"), QColor());
    else if (!showNone && m_showNone)
        removeItem(0);
    m_showNone = showNone;
    updateSelection();
}

void ColorChooserPopUpButton::bindToUserDefaults(UserDefaults &defaults, const QString &key)
{
    unbind();
    m_defaults = &defaults;
    m_key = key;
    m_observation = defaults.observe(key, this, [this](const QVariant &) {
        m_color = m_defaults->colorForKey(m_key);
        updateSelection();
    });
}

void ColorChooserPopUpButton::unbind()
{
    if (m_defaults)
        m_defaults->removeObservation(m_observation);
    m_defaults = nullptr;
    m_key.clear();
}

void ColorChooserPopUpButton::changeColor(const QColor &color)
{
    m_color = color;
    updateSelection();
    store();
    Q_EMIT colorDidChange(this);
}

void ColorChooserPopUpButton::setDefaultColor(const QColor &color)
{
    m_defaultColor = color;
    changeColor(color);
}

void ColorChooserPopUpButton::itemChosen(int index)
{
    if (index == otherIndex()) {
        showColorPanel();
        return;
    }
    m_color = itemData(index).value<QColor>();
    store();
    Q_EMIT colorDidChange(this);
}

void ColorChooserPopUpButton::updateSelection()
{
    const QSignalBlocker blocker(this);
    if (!m_color.isValid()) {
        setCurrentIndex(0);
        return;
    }
    for (int i = 0; i < otherIndex(); ++i) {
        if (itemData(i).value<QColor>() == m_color) {
            setCurrentIndex(i);
            return;
        }
    }
    setOtherColor(m_color);
    setCurrentIndex(otherIndex());
}

void ColorChooserPopUpButton::setOtherColor(const QColor &color)
{
    setItemData(otherIndex(), color);
    setItemIcon(otherIndex(), color.isValid() ? swatch(color) : QIcon());
}

void ColorChooserPopUpButton::store()
{
    if (!m_defaults)
        return;
    if (m_color.isValid())
        m_defaults->setObject(m_color, m_key);
    else
        m_defaults->removeObjectForKey(m_key);
}

// The panel is window-modal and continuous: every colour picked in it applies at once.
void ColorChooserPopUpButton::showColorPanel()
{
    if (m_panel)
        return;
    const QColor custom = itemData(otherIndex()).value<QColor>();
    m_panel = new QColorDialog(custom.isValid() ? custom : m_color, this);
    m_panel->setObjectName(u"colorPanel"_s);
    m_panel->setOption(QColorDialog::DontUseNativeDialog);
    m_panel->setOption(QColorDialog::ShowAlphaChannel);
    m_panel->setAttribute(Qt::WA_DeleteOnClose);
    m_panel->setWindowModality(Qt::WindowModal);
    connect(m_panel, &QColorDialog::currentColorChanged, this, &ColorChooserPopUpButton::panelColorChanged);
    connect(m_panel, &QDialog::finished, this, &ColorChooserPopUpButton::panelClosed);
    if (custom.isValid())
        panelColorChanged(custom);
    m_panel->show();
}

void ColorChooserPopUpButton::panelColorChanged(const QColor &color)
{
    m_color = color;
    setOtherColor(color);
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(otherIndex());
    }
    store();
    Q_EMIT colorDidChange(this);
}

void ColorChooserPopUpButton::panelClosed()
{
    if (!itemData(otherIndex()).value<QColor>().isValid())
        updateSelection();
}
