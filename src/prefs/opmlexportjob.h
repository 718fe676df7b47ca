#pragma once

#include <QObject>

class DatasourceManager;
class QThread;

// Writes the subscriptions to an OPML file on a thread of its own; the list is taken when the
// export starts.
class OpmlExportJob : public QObject {
    Q_OBJECT
public:
    explicit OpmlExportJob(DatasourceManager &manager, QObject *parent = nullptr);
    ~OpmlExportJob() override;

    void start(const QString &path);
    bool isRunning() const { return m_writer != nullptr; }

Q_SIGNALS:
    // The error in plain words, or a null string when the file was written.
    void finished(const QString &errorString);

private:
    void written();

    DatasourceManager &m_manager;
    QThread *m_writer = nullptr;
    QString m_error;
};
