#include "prefs/defaultcolors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

using namespace Qt::StringLiterals;

// Outside any namespace, as Q_INIT_RESOURCE requires: a static library's resources are only
// registered when something calls it.
static void initPrefsResources()
{
    Q_INIT_RESOURCE(prefs);
}

namespace {

bool isComponent(const QJsonValue &value)
{
    return value.isDouble() && value.toDouble() >= 0.0 && value.toDouble() <= 1.0;
}

QList<DefaultColors::Entry> readEntries()
{
    initPrefsResources();
    QFile file(u":/prefs/defaultcolors.json"_s);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("The default colours cannot be read: %s", qPrintable(file.errorString()));
        return {};
    }
    QList<DefaultColors::Entry> entries;
    const QJsonArray list = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        const QString name = object.value("name"_L1).toString();
        const QJsonValue r = object.value("r"_L1), g = object.value("g"_L1), b = object.value("b"_L1);
        if (name.isEmpty() || !isComponent(r) || !isComponent(g) || !isComponent(b))
            continue;
        entries.append(
            {name, QColor::fromRgbF(float(r.toDouble()), float(g.toDouble()), float(b.toDouble()), 1.0f)});
    }
    return entries;
}

} // namespace

const QList<DefaultColors::Entry> &DefaultColors::entries()
{
    static const QList<Entry> list = readEntries();
    return list;
}
