#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class Datasource;
class DatasourceManager;

// Tells the terminal when a feed starts failing (with the reason) and when it works again;
// each change once. Main thread.
class FeedErrorReporter : public QObject {
    Q_OBJECT
public:
    explicit FeedErrorReporter(DatasourceManager &manager, QObject *parent = nullptr);

    // "<name> (<address>)": how the command line names a feed.
    static QString describe(const Datasource &source);

private:
    void check(Datasource *changed);

    DatasourceManager &m_manager;
    QHash<QString, QString> m_reported; // uuid → the error last reported
};
