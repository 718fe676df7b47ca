#pragma once

#include <QString>

// Lines for the terminal: results on standard output, errors and notes on standard error. Each
// line is written whole and flushed at once, so that a pipe sees it as it happens. Safe on any
// thread.
namespace Console {
void print(const QString &line);
void printError(const QString &line);
} // namespace Console
