#pragma once

#include <QWidget>

class FixedZoomTextBrowser;

// The "What's New" window: the release notes of this version, at a fixed zoom, on the floating
// level so that it is seen above the bar.
class WhatsNewWindow : public QWidget {
    Q_OBJECT
public:
    explicit WhatsNewWindow(QWidget *parent = nullptr);

    // Shows the window above the others; does not take the focus from the program in front.
    void orderFront();
    FixedZoomTextBrowser *document() const { return m_document; }

private:
    FixedZoomTextBrowser *m_document;
};
