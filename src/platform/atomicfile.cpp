#include "platform/atomicfile.h"

#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// A write may take fewer bytes than offered (the disk fills up, the size limit is reached) and
// report no error: the rest is offered again, and that write reports why it fails.
bool writeAll(QSaveFile &file, QByteArrayView bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 taken = file.write(bytes.data() + written, bytes.size() - written);
        if (taken <= 0)
            return false;
        written += qsizetype(taken);
    }
    return true;
}

QString failure(const QSaveFile &file)
{
    return file.error() == QFileDevice::NoError ? u"nothing more could be written"_s : file.errorString();
}

} // namespace

QString AtomicFile::replace(const QString &path, std::initializer_list<QByteArrayView> parts)
{
    QSaveFile file(path);
    // Unbuffered, so that each write's result is that of the system call: a buffered write
    // succeeds into memory and may fail only when flushed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(file);
    for (QByteArrayView part : parts) {
        if (!writeAll(file, part))
            return failure(file); // the temporary file goes with `file`
    }
    if (!file.commit())
        return failure(file);
    return {};
}
