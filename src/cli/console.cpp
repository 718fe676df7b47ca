#include "cli/console.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex consoleLock;

void writeLine(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::lock_guard guard(consoleLock);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void Console::print(const QString &line)
{
    writeLine(stdout, line);
}

void Console::printError(const QString &line)
{
    writeLine(stderr, line);
}
