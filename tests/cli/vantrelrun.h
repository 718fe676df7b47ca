#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The vantrel program as a child process in the current (temporary) home.
class VantrelRun {
public:
    // Runs a command to its end.
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
        QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
    };
    static Result run(const QStringList &arguments, int timeoutMs = 30000);

    // Starts a long-running command (the headless ticker).
    explicit VantrelRun(const QStringList &arguments);
    ~VantrelRun();
    QProcess &process() { return m_process; }
    // Everything the process printed on standard output so far.
    QString output();

    static QString program();
    // Writes the settings a run starts from (the registered defaults fill in the rest).
    static void writeSettings(const QVariantMap &values);
    static QVariantMap feed(const QString &url, const QString &customName = QString());

private:
    QProcess m_process;
    QByteArray m_output;
};
