#pragma once

#include <QDialog>

// Asks whether Vantrel should open feed: links from now on, when another program does.
// Accepting is the caller's to act on; the panel only asks.
class SetHandlerPanel : public QDialog {
    Q_OBJECT
public:
    // `currentDefault` is the people's name of the program that opens them now.
    explicit SetHandlerPanel(const QString &currentDefault, QWidget *parent = nullptr);
};
