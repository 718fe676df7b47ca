#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The vantrel program as a child process in the current (temporary) home.
class VantrelRun {
public:
    // Limits the child runs under.
    struct Confinement {
        // Bytes a file may grow to; a write past it fails with EFBIG (SIGXFSZ is ignored), as on a
        // full disk. -1: no limit.
        qint64 fileSizeLimit = -1;
        // When the tests run as root, the child runs as the user "nobody", to whom the home is given
        // first: file permissions then bind it as they bind a user.
        bool unprivileged = false;
    };

    // Runs a command to its end.
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
        QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
    };
    static Result run(const QStringList &arguments, int timeoutMs = 30000);
    static Result run(const QStringList &arguments, const Confinement &confinement, int timeoutMs = 30000);

    // Starts a long-running command (the headless ticker).
    explicit VantrelRun(const QStringList &arguments);
    VantrelRun(const QStringList &arguments, const Confinement &confinement);
    ~VantrelRun();
    QProcess &process() { return m_process; }
    // Everything the process printed on standard output and standard error so far.
    QString output();
    QString errorOutput();

    static QString program();
    // Writes the settings a run starts from (the registered defaults fill in the rest).
    static void writeSettings(const QVariantMap &values);
    static QVariantMap feed(const QString &url, const QString &customName = QString());

private:
    static void confine(QProcess &process, const Confinement &confinement);

    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errorOutput;
};
