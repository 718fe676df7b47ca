// Desktop files and mimeapps.list come from other programs and other users' packages.
#include "platform/desktop/keyfile.h"
#include "platform/desktop/notificationtext.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    KeyFile file = KeyFile::fromText(text);
    // Reading back what was read changes nothing.
    if (file.toText() != text)
        __builtin_trap();
    const QString group = QStringLiteral("Default Applications");
    for (const QString &key : file.keys(group)) {
        file.list(group, key);
        file.localeString(group, key, QStringLiteral("de_AT@euro"));
    }
    // An edit touches one line: the other lines keep their bytes.
    file.setRawValue(group, QStringLiteral("x-scheme-handler/feed"), QStringLiteral("vantrel.desktop;"));
    const KeyFile edited = KeyFile::fromText(file.toText());
    if (edited.string(group, QStringLiteral("x-scheme-handler/feed")) != QStringLiteral("vantrel.desktop;"))
        __builtin_trap();
    // Feed text of any kind leaves no markup behind, and is cut before it is escaped.
    const QString notification = NotificationText::body(QString::fromUtf8(text));
    if (notification.contains(u'<'))
        __builtin_trap();
    QString shown = notification;
    shown.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    if (shown.size() > NotificationText::maximumBodyLength)
        __builtin_trap();
    return 0;
}
