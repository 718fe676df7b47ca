#include "ticker/bar/screenchoice.h"

#include <QGuiApplication>
#include <QScreen>

ScreenChoice::ScreenChoice(QObject *parent) : QObject(parent)
{
    for (QScreen *screen : QGuiApplication::screens())
        follow(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        follow(screen);
        Q_EMIT screenDidChange();
    });
    // Queued: while the signal runs the removed screen is still listed.
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenChoice::screenDidChange,
            Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &ScreenChoice::screenDidChange);
}

QScreen *ScreenChoice::screen() const
{
    if (!m_chosenName.isEmpty()) {
        for (QScreen *screen : QGuiApplication::screens()) {
            if (screen->name() == m_chosenName)
                return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

void ScreenChoice::choose(QScreen *screen)
{
    chooseName(screen ? screen->name() : QString());
}

void ScreenChoice::chooseName(const QString &name)
{
    m_chosenName = name;
    Q_EMIT screenDidChange();
}

void ScreenChoice::follow(QScreen *screen)
{
    connect(screen, &QScreen::availableGeometryChanged, this, &ScreenChoice::screenDidChange);
}
