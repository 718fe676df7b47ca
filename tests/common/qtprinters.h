#pragma once

#include <QString>
#include <QUrl>
#include <ostream>

// Readable failure messages for Qt values in GoogleTest assertions.
inline void PrintTo(const QString &string, std::ostream *out)
{
    *out << '"' << string.toStdString() << '"';
}
inline void PrintTo(const QUrl &url, std::ostream *out)
{
    *out << url.toString().toStdString();
}
