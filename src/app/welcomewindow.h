#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The first start's welcome: import subscriptions from an OPML file, subscribe to a feed by its
// address, or start with the bundled feeds. Each choice closes the window; the bundled feed stays
// subscribed whatever the choice, for the user to delete: nothing is unsubscribed behind their back.
class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    explicit WelcomeWindow(QWidget *parent = nullptr);

Q_SIGNALS:
    void importRequested();
    // The address typed in, already checked to be a web address.
    void addRequested(const QUrl &address);
    void defaultFeedsChosen();

private:
    void add();

    QLineEdit *m_address;
    QLabel *m_problem;
};
