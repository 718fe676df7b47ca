#include "ticker/bar/toolbuttonrow.h"

#include "ticker/bar/buttonrowlayout.h"
#include "ticker/bar/windowplacement.h"
#include "ticker/widgets/glowbutton.h"
#include "ui/drawing/bottomupgeometry.h"
#include "ui/drawing/imagetinting.h"

using namespace Qt::StringLiterals;

ToolButtonRow::ToolButtonRow(QWidget &window, QObject *parent)
    : QObject(parent), m_window(window), m_search(makeButton(u"searchButton"_s, true)),
      m_minimize(makeButton(u"minimizeButton"_s, false)), m_starred(makeButton(u"starredButton"_s, true)),
      m_marked(makeButton(u"markedButton"_s, true)), m_add(makeButton(u"addButton"_s, false)),
      m_preferences(makeButton(u"preferencesButton"_s, false)),
      m_autoHide(makeButton(u"autoHideButton"_s, true))
{
    m_search->setToolTip(u"Search"_s);
    m_minimize->setToolTip(u"Minimize"_s);
    m_starred->setToolTip(u"Starred Headlines"_s);
    m_marked->setToolTip(u"Marked Headlines"_s);
    m_add->setToolTip(u"Add Feed"_s);
    m_preferences->setToolTip(u"Preferences"_s);
    m_autoHide->setToolTip(u"Hide Read Headlines"_s);
}

GlowButton *ToolButtonRow::makeButton(const QString &name, bool toggles)
{
    auto *button = new GlowButton(&m_window);
    button->setObjectName(name);
    button->setCheckable(toggles);
    button->setRespectsState(toggles);
    button->setUseTrackingArea(true);
    button->resize(buttonSize, buttonSize);
    button->hide();
    return button;
}

QList<GlowButton *> ToolButtonRow::row(int location) const
{
    QList<GlowButton *> buttons{m_minimize, m_search, m_add, m_starred, m_autoHide, m_marked, m_preferences};
    if (!WindowPlacement::isDocked(location))
        buttons.removeFirst();
    return buttons;
}

void ToolButtonRow::tint(const QColor &color)
{
    const QColor rgb = color.toRgb();
    m_search->setIcon(ImageTinting::imageNamed(u"search"_s, rgb));
    m_minimize->setIcon(ImageTinting::imageNamed(u"minimize"_s, rgb));
    m_starred->setIcon(ImageTinting::imageNamed(u"starred"_s, rgb));
    m_marked->setIcon(ImageTinting::imageNamed(u"marked"_s, rgb));
    m_add->setIcon(ImageTinting::imageNamed(u"add"_s, rgb));
    m_preferences->setIcon(ImageTinting::imageNamed(u"preferences"_s, rgb));
    m_autoHide->setIcon(ImageTinting::imageNamed(u"autohide_off"_s, rgb, u"autohide_on"_s));
}

void ToolButtonRow::layout(int location, bool shown)
{
    const QList<GlowButton *> buttons = row(location);
    if (!WindowPlacement::isDocked(location))
        m_minimize->hide();
    const auto count = int(buttons.size());
    const int y = BottomUpGeometry(m_window.height()).rect(0, bottomMargin, 0, buttonSize).y();
    for (int k = 0; k < count; ++k) {
        GlowButton *button = buttons.at(k);
        button->move(ButtonRowLayout::x(k, count, button->width(), m_window.width()), y);
        button->setVisible(shown);
        if (shown)
            button->raise();
    }
}
