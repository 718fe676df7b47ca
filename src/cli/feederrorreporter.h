#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class Datasource;
class DatasourceManager;

// Tells the terminal when a feed starts failing (with the reason: its refresh, or the saving of
// its entries) and when it works again; each change once. Main thread.
class FeedErrorReporter : public QObject {
    Q_OBJECT
public:
    explicit FeedErrorReporter(DatasourceManager &manager, QObject *parent = nullptr);

    // "<name> (<address>)": how the command line names a feed.
    static QString describe(const Datasource &source);
    // The line that reports the source's error text: "Cannot refresh <feed>: <error>", or
    // "<feed>: <error>" when the error is that its entries could not be saved.
    static QString problem(const Datasource &source, const QString &error);

private:
    void check(Datasource *changed);

    DatasourceManager &m_manager;
    QHash<QString, QString> m_reported; // uuid → the error last reported
};
