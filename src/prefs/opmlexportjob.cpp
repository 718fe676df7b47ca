#include "prefs/opmlexportjob.h"

#include "model/opml/opmlexporter.h"
#include "model/opml/opmlwriter.h"

#include <QThread>

OpmlExportJob::OpmlExportJob(DatasourceManager &manager, QObject *parent)
    : QObject(parent), m_manager(manager)
{
}

OpmlExportJob::~OpmlExportJob()
{
    if (m_writer) {
        m_writer->wait();
        delete m_writer;
    }
}

void OpmlExportJob::start(const QString &path)
{
    if (m_writer)
        return;
    m_writer = QThread::create([this, path, feeds = OpmlExporter::feedsOf(m_manager)] {
        m_error = OpmlWriter::writeFile(feeds, path);
    });
    connect(m_writer, &QThread::finished, this, &OpmlExportJob::written);
    m_writer->start();
}

void OpmlExportJob::written()
{
    m_writer->deleteLater();
    m_writer = nullptr;
    Q_EMIT finished(m_error);
}
