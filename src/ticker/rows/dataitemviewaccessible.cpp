#include "ticker/rows/dataitemviewaccessible.h"

#include "ticker/rows/dataitemview.h"
#include "ticker/rows/rowtextfield.h"

using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface *rowFactory(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(DataItemView::staticMetaObject.className()) && object->isWidgetType())
        return new DataItemViewAccessible(static_cast<DataItemView *>(object));
    return nullptr;
}

} // namespace

DataItemViewAccessible::DataItemViewAccessible(DataItemView *row)
    : QAccessibleWidget(row, QAccessible::ListItem)
{
}

void DataItemViewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(rowFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void DataItemViewAccessible::notifyChanged(DataItemView *row)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent name(row, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessibleEvent description(row, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
    QAccessible::State changed;
    changed.traversed = true;
    QAccessibleStateChangeEvent state(row, changed);
    QAccessible::updateAccessibility(&state);
}

DataItemView *DataItemViewAccessible::row() const
{
    return static_cast<DataItemView *>(widget());
}

// Name: the headline. Description: the feed and the time as the source line shows them, then
// the states a listener needs: "keyword match", "read".
QString DataItemViewAccessible::text(QAccessible::Text t) const
{
    const DataItemPtr item = row()->dataItem();
    if (!item)
        return QAccessibleWidget::text(t);
    switch (t) {
    case QAccessible::Name:
        return row()->titleTextField()->text().replace(QChar::LineSeparator, u' ');
    case QAccessible::Description: {
        QStringList parts{row()->sourceTextField()->text()};
        if (item->mark())
            parts.append(u"keyword match"_s);
        if (item->read())
            parts.append(u"read"_s);
        return parts.join(u", "_s);
    }
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State DataItemViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const DataItemPtr item = row()->dataItem();
    state.traversed = item && item->read();
    state.hotTracked = row()->isHighlighted();
    state.selectable = false;
    return state;
}
