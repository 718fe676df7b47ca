#include "support/stringadditions.h"

#include <QUuid>

QString StringAdditions::uuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
