#pragma once

#include <QWidget>

// The bar's own slim scroll indicator: a rounded bar outlined in light grey and filled in
// grey. It only shows where the list stands; its owner places and fades it, and clicks pass
// through it.
class ScrollBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal cornerRadius = 5.0;

    explicit ScrollBarView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
