#pragma once

#include <QAbstractButton>

// A row's small borderless toggle (the star, the share button): its icon and nothing else, the
// On state showing the icon's alternate image. It takes no clicks in the strip along the bar's
// inner edge where the row itself takes none.
class RowButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit RowButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
