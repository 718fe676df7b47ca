#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The colours every colour button offers by name, read from the application's resources.
namespace DefaultColors {
struct Entry {
    QString name;
    QColor color;
};
// In the order of the list; entries without a name or with components outside 0–1 are left out.
const QList<Entry> &entries();
} // namespace DefaultColors
