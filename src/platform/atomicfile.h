#pragma once

#include <QByteArrayView>
#include <QString>
#include <initializer_list>

// Replaces a file whole or not at all: the bytes go to a temporary file beside it, which is
// renamed over the old file only once every byte has been written. A full disk or a file-size
// limit therefore leaves the old file as it was and is reported, never a cut-off file.
class AtomicFile {
public:
    // Writes the parts one after another as the new contents of the file at `path`.
    // Empty on success, else why it failed (the system's words, such as "File too large").
    static QString replace(const QString &path, std::initializer_list<QByteArrayView> parts);
};
