#include "ticker/rows/rowhoverbuttons.h"

#include "model/stars/starmanager.h"
#include "ticker/rows/rowbutton.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/bottomupgeometry.h"
#include "ui/drawing/imagetinting.h"

#include <QApplication>
#include <QMenu>
#include <QPropertyAnimation>

using namespace Qt::StringLiterals;

namespace {

// A button fades in and out; one faded out is hidden.
void showButton(RowButton *button, bool wanted)
{
    if (!button)
        return;
    button->setEnabled(wanted);
    if (wanted) {
        button->show();
        if (ViewAlpha::of(button) != 1.0 || ViewAlpha::isAnimating(button))
            ViewAlpha::animate(button, 1.0);
        return;
    }
    if (button->isHidden())
        return;
    QPropertyAnimation *fade = ViewAlpha::animate(button, 0.0);
    QObject::connect(fade, &QAbstractAnimation::finished, button, [button] {
        if (!button->isEnabled())
            button->hide();
    });
}

RowButton *makeButton(QWidget *row, const QString &name, const QString &accessibleName)
{
    auto *button = new RowButton(row);
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    button->hide();
    button->setEnabled(false);
    ViewAlpha::set(button, 0.0);
    return button;
}

} // namespace

RowHoverButtons::RowHoverButtons(const RowContext &context, QWidget *row) : QObject(row), m_context(context)
{
    if (m_context.stars) {
        m_starButton = makeButton(row, u"starButton"_s, u"Star"_s);
        connect(m_starButton, &QAbstractButton::clicked, this, &RowHoverButtons::starAction);
    }
    if (m_context.shareActions) {
        m_shareButton = makeButton(row, u"shareButton"_s, u"Share"_s);
        m_shareButton->setCheckable(false);
        connect(m_shareButton, &QAbstractButton::pressed, this, &RowHoverButtons::shareAction);
    }
}

void RowHoverButtons::showForHover()
{
    m_starShouldBeVisible = m_starButton != nullptr;
    m_shareShouldBeVisible = m_shareButton != nullptr;
    updateIcons();
}

void RowHoverButtons::hideForHover()
{
    if (!m_starButton || !m_starButton->isChecked())
        m_starShouldBeVisible = false;
    m_shareShouldBeVisible = false;
    updateIcons();
}

void RowHoverButtons::updateStar(bool hovered)
{
    if (!m_starButton)
        return;
    const bool starred = m_item && m_context.stars->isStarred(*m_item);
    m_starButton->setChecked(starred);
    m_starShouldBeVisible = starred || hovered;
    updateIcons();
}

void RowHoverButtons::setIconColor(const QColor &color)
{
    if (color == m_iconColor)
        return;
    m_iconColor = color;
    if (m_starButton)
        m_starButton->setIcon(ImageTinting::imageNamed(u"star-outline"_s, color, u"star-filled"_s));
    if (m_shareButton)
        m_shareButton->setIcon(ImageTinting::imageNamed(u"share-icon"_s, color));
}

void RowHoverButtons::place(const QSize &rowSize)
{
    const BottomUpGeometry geometry(rowSize.height());
    if (m_shareButton)
        m_shareButton->setGeometry(geometry.rect(rowSize.width() - 24, 6, 16, 16));
    if (m_starButton)
        m_starButton->setGeometry(geometry.rect(rowSize.width() - 44, 6, 16, 16));
}

int RowHoverButtons::spacing() const
{
    if (m_starShouldBeVisible)
        return 40;
    return m_shareShouldBeVisible ? 20 : 0;
}

void RowHoverButtons::updateIcons()
{
    showButton(m_starButton, m_starShouldBeVisible);
    showButton(m_shareButton, m_shareShouldBeVisible);
    Q_EMIT iconsChanged();
}

// The store announces the change, and every row showing the entry follows it.
void RowHoverButtons::starAction()
{
    if (!m_item)
        return;
    if (m_starButton->isChecked())
        m_context.stars->starItem(m_item);
    else
        m_context.stars->unstarItem(m_item);
}

// An entry whose link is no URL has nothing to share: a beep instead of a menu.
void RowHoverButtons::shareAction()
{
    if (!m_item)
        return;
    auto *menu = new QMenu(m_shareButton);
    menu->setObjectName(u"shareMenu"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QList<QAction *> actions = m_context.shareActions(m_item, menu);
    if (actions.isEmpty()) {
        delete menu;
        QApplication::beep();
        return;
    }
    menu->addActions(actions);
    menu->popup(m_shareButton->mapToGlobal(QPoint(0, m_shareButton->height())));
}
