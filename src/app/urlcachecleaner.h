#pragma once

#include <QString>

// Vantrel keeps nothing it downloads in a disk cache: libcurl has none, and no network library
// that keeps one is used. What such a library left behind under the process's name in the caches
// folder is removed at start. The folder of the item files is never touched, whatever the names.
namespace UrlCacheCleaner {
// Removes `<cachesRoot>/<processName>` (a link there is removed, not followed) unless it is, holds
// or lies inside `keep`. Errors are logged and otherwise ignored: the folder is only a leftover.
void removeProcessCache(const QString &cachesRoot, const QString &processName, const QString &keep);
} // namespace UrlCacheCleaner
