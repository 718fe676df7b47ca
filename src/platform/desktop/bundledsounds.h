#pragma once

#include <QString>
#include <QStringList>

// The alert sounds that ship inside Vantrel (WAV files in the program's resources). The sound
// system reads files only, so a sound is written out to a folder before it is played.
namespace BundledSounds {
// The sounds' names, sorted: the names the preferences offer. "Submarine" is the default.
QStringList names();
bool contains(const QString &name);
// The sound's file in `folder`, written there first when it is missing or differs. Empty, with
// the reason in `error`, when the name is not a bundled sound or the file cannot be written.
QString file(const QString &name, const QString &folder, QString *error);
} // namespace BundledSounds
