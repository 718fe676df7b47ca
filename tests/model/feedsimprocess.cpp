#include "feedsimprocess.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

FeedSimProcess::FeedSimProcess(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The server is a tool, not under test; under ThreadSanitizer the prebuilt HTTP library it
    // links (not instrumented) would only report false races.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TSAN_OPTIONS"_s, u"report_bugs=0"_s);
    m_process.setProcessEnvironment(environment);
    m_process.start(program(), QStringList{u"--port"_s, u"0"_s} + arguments);
    if (!m_process.waitForStarted(5000))
        return;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000))
            return;
    }
    m_port = m_process.readLine().trimmed().toInt();
}

FeedSimProcess::~FeedSimProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

QUrl FeedSimProcess::url(const QString &pathAndQuery) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(pathAndQuery));
}

QString FeedSimProcess::program()
{
    const QByteArray binaryDir = qgetenv("VANTREL_BINARY_DIR");
    const QString root = binaryDir.isEmpty() ? QCoreApplication::applicationDirPath() + u"/.."_s
                                             : QString::fromLocal8Bit(binaryDir);
    return QDir(root).filePath(u"tools/feedsim/feedsim"_s);
}
