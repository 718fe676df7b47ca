#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Alert sounds. play() never waits for the sound system; the outcome arrives as a signal. A sound
// that cannot be played (no such name, no sound device) is logged and reported, never raised.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The sound names offered to the user, in the order to list them.
    virtual QStringList soundNames() const = 0;
    // Plays the named sound: one of soundNames(), or a sound of the desktop's sound theme.
    virtual void play(const QString &name) = 0;
    // The desktop's alert for a refused action.
    virtual void beep() = 0;

Q_SIGNALS:
    void played(const QString &name);
    void playFailed(const QString &name, const QString &message);
};
