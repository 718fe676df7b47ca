#include "support/encoding/urlencode.h"

#include <QByteArray>

QString urlEncode(const QString &text)
{
    // Qt leaves exactly the unreserved set (letters, digits, "-._~") as it is and writes upper-case hex.
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}
