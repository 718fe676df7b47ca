#pragma once

#include "model/opml/opmlfeed.h"
#include "model/opml/opmlimporter.h"

#include <QObject>
#include <QPointer>

class DatasourceManager;
class QThread;
class QTimer;

// Imports an OPML file without holding up the window: the file is read and checked on a thread
// of its own (a file that is damaged, hostile or past the reader's bounds adds nothing), then its
// feeds are added on the main thread a few at a time, with progress, until done or cancelled.
class OpmlImportJob : public QObject {
    Q_OBJECT
public:
    static constexpr int feedsPerStep = 20;

    explicit OpmlImportJob(DatasourceManager &manager, QObject *parent = nullptr);
    ~OpmlImportJob() override;

    void start(const QString &path);
    // Adds no further feeds; those added so far stay.
    void cancel();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // `done` of `total` feeds handled; total is 0 while the file is being read.
    void progress(int done, int total);
    // The import ended: the counts, or the error text of a file that could not be read.
    void finished(const OpmlImporter::Result &result, bool cancelled);

private:
    void fileRead();
    void addNextFeeds();
    void finish(bool cancelled);

    DatasourceManager &m_manager;
    QThread *m_reader = nullptr;
    QTimer *m_step;
    OpmlReadResult m_read;
    OpmlImporter::Result m_result;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_cancelled = false;
};
