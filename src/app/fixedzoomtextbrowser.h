#pragma once

#include <QTextBrowser>

// A text browser whose document stays at one zoom: the wheel with Ctrl, the zoom keys and
// pinches and zoomIn()/zoomOut() change nothing.
class FixedZoomTextBrowser : public QTextBrowser {
    Q_OBJECT
public:
    static constexpr qreal zoom = 1.02;

    explicit FixedZoomTextBrowser(QWidget *parent = nullptr);

    // The scale the document is shown at, whatever scale is asked for.
    static qreal scaleFactorFor(qreal proposed);
    // The point size of the document's text: the application font's at the fixed zoom.
    qreal documentPointSize() const;

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyZoom();

    const qreal m_basePointSize;
};
