#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QUrl>

// Runs the feedsim tool as a child process on a free loopback port for the lifetime of the object.
class FeedSimProcess {
public:
    explicit FeedSimProcess(const QStringList &arguments = {});
    ~FeedSimProcess();
    FeedSimProcess(const FeedSimProcess &) = delete;
    FeedSimProcess &operator=(const FeedSimProcess &) = delete;

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    // The address of a path on the server, such as url(u"/rss/news.xml?entries=3").
    QUrl url(const QString &pathAndQuery) const;

    // Where the tool was built.
    static QString program();

private:
    QProcess m_process;
    int m_port = 0;
};
