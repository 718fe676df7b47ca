#pragma once

#include <QAccessibleWidget>

class DataItemView;

// A headline row as assistive technology sees it: a list item named by the headline, described
// by its feed and time, with "keyword match" and "read" among its states (read also as the
// visited state). Its children are the row's buttons; the texts are the row's own name and
// description.
class DataItemViewAccessible : public QAccessibleWidget {
public:
    explicit DataItemViewAccessible(DataItemView *row);

    // Lets Qt find this interface for every row; idempotent.
    static void install();
    // Tells assistive technology that the row's texts or states changed.
    static void notifyChanged(DataItemView *row);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

private:
    DataItemView *row() const;
};
