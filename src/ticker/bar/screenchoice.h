#pragma once

#include <QObject>
#include <QString>

class QScreen;

// The screen the bar docks on. The user's choice is kept by the screen's name, so that a screen
// that goes away and comes back (a laptop's external monitor) gets the bar back; while it is
// gone the primary screen stands in. Announces every change that calls for docking again: a
// screen added or removed, an available area that grew or shrank.
class ScreenChoice : public QObject {
    Q_OBJECT

public:
    explicit ScreenChoice(QObject *parent = nullptr);

    // The chosen screen when present, else the primary one; nullptr without any screen.
    QScreen *screen() const;
    QString chosenName() const { return m_chosenName; }
    // Chooses the screen; nullptr forgets the choice (the primary screen then serves).
    void choose(QScreen *screen);
    // Chooses by name, also a screen that is not connected now; "" forgets the choice.
    void chooseName(const QString &name);

Q_SIGNALS:
    void screenDidChange();

private:
    void follow(QScreen *screen);

    QString m_chosenName;
};
