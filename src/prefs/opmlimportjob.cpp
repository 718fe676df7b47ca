#include "prefs/opmlimportjob.h"

#include "model/opml/opmlreader.h"

#include <QThread>
#include <QTimer>

OpmlImportJob::OpmlImportJob(DatasourceManager &manager, QObject *parent)
    : QObject(parent), m_manager(manager), m_step(new QTimer(this))
{
    m_step->setInterval(0);
    connect(m_step, &QTimer::timeout, this, &OpmlImportJob::addNextFeeds);
}

// Reading is bounded in size, so waiting for a read under way is short.
OpmlImportJob::~OpmlImportJob()
{
    if (m_reader) {
        m_reader->wait();
        delete m_reader;
    }
}

void OpmlImportJob::start(const QString &path)
{
    if (m_running)
        return;
    m_running = true;
    m_cancelled = false;
    m_result = {};
    m_next = 0;
    Q_EMIT progress(0, 0);
    m_reader = QThread::create([this, path] { m_read = OpmlReader::readFile(path); });
    connect(m_reader, &QThread::finished, this, &OpmlImportJob::fileRead);
    m_reader->start();
}

void OpmlImportJob::cancel()
{
    if (m_running)
        m_cancelled = true;
    if (m_step->isActive())
        finish(true);
}

void OpmlImportJob::fileRead()
{
    m_reader->deleteLater();
    m_reader = nullptr;
    if (m_cancelled) {
        finish(true);
        return;
    }
    if (!m_read.ok()) {
        m_result.errorString = m_read.errorString;
        finish(false);
        return;
    }
    m_result.skipped = m_read.skipped;
    Q_EMIT progress(0, int(m_read.feeds.size()));
    m_step->start();
}

void OpmlImportJob::addNextFeeds()
{
    const QList<OpmlFeed> batch = m_read.feeds.mid(m_next, feedsPerStep);
    const OpmlImporter::Result added = OpmlImporter::importFeeds(batch, m_manager);
    m_result.added += added.added;
    m_result.duplicates += added.duplicates;
    m_result.skipped += added.skipped;
    m_next += batch.size();
    const qsizetype total = m_read.feeds.size();
    // A receiver of the progress may cancel the import, which then has ended already.
    Q_EMIT progress(int(m_next), int(total));
    if (m_running && m_next >= total)
        finish(false);
}

void OpmlImportJob::finish(bool cancelled)
{
    m_step->stop();
    m_running = false;
    m_read = {};
    Q_EMIT finished(m_result, cancelled);
}
