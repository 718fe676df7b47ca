#include "app/crashreporter.h"

#include "buildinfo.h"
#include "platform/desktop/xdgbasedirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int keptReports = 10;

// Everything the handler needs is made beforehand: it may only call async-signal-safe functions.
std::array<char, 4096> folderPath{};
std::array<void *, 64> frames{};
std::array<char, 64 * 1024> alternateStack{};

void writeText(int fd, const char *text)
{
    [[maybe_unused]] const ssize_t written = ::write(fd, text, std::strlen(text));
}

// Appends the decimal digits of `value` to `out` at `length`; returns the new length.
size_t appendNumber(char *out, size_t length, unsigned long value)
{
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        out[length++] = digits[--count];
    return length;
}

int openReport()
{
    char path[4096 + 64];
    size_t length = std::strlen(folderPath.data());
    std::memcpy(path, folderPath.data(), length);
    const char prefix[] = "/crash-";
    std::memcpy(path + length, prefix, sizeof prefix - 1);
    length = appendNumber(path, length + sizeof prefix - 1, static_cast<unsigned long>(::time(nullptr)));
    path[length++] = '-';
    length = appendNumber(path, length, static_cast<unsigned long>(::getpid()));
    const char suffix[] = ".txt";
    std::memcpy(path + length, suffix, sizeof suffix);
    return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

void reportCrash(int signalNumber)
{
    const int fd = openReport();
    if (fd >= 0) {
        char line[64] = "signal ";
        const size_t length = appendNumber(line, 7, static_cast<unsigned long>(signalNumber));
        line[length] = '\0';
        writeText(fd, "Vantrel ");
        writeText(fd, buildinfo::version);
        writeText(fd, " ended on ");
        writeText(fd, line);
        writeText(fd, "\n\nBacktrace:\n");
        const int count = ::backtrace(frames.data(), int(frames.size()));
        ::backtrace_symbols_fd(frames.data(), count, fd);
        ::close(fd);
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

} // namespace

QString CrashReporter::defaultFolder()
{
    return XdgBaseDirs::stateHome() + u"/vantrel"_s;
}

bool CrashReporter::install(const QString &folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    if (!QDir().mkpath(folder) || path.size() >= qsizetype(folderPath.size())) {
        qWarning("Crash reports cannot be written to %s", qPrintable(folder));
        return false;
    }
    std::memcpy(folderPath.data(), path.constData(), size_t(path.size()) + 1);
    // The first call loads the unwinder, which must not happen inside the handler.
    ::backtrace(frames.data(), 1);

    // A stack of its own, so that a stack overflow can still be reported.
    stack_t stack{};
    stack.ss_sp = alternateStack.data();
    stack.ss_size = alternateStack.size();
    ::sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_handler = reportCrash;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (const int signalNumber : crashSignals)
        ::sigaction(signalNumber, &action, nullptr);
    return true;
}

QStringList CrashReporter::takeUnseenReports(const QString &folder)
{
    const QDir dir(folder);
    QFileInfoList reports = dir.entryInfoList({u"crash-*.txt"_s}, QDir::Files, QDir::Time | QDir::Reversed);
    while (reports.size() > keptReports)
        QFile::remove(reports.takeFirst().filePath());
    QStringList unseen;
    for (const QFileInfo &report : std::as_const(reports)) {
        if (report.fileName().endsWith(u".seen.txt"_s))
            continue;
        const QString seen = report.path() + u'/' + report.completeBaseName() + u".seen.txt"_s;
        if (QFile::rename(report.filePath(), seen))
            unseen.append(seen);
    }
    return unseen;
}
