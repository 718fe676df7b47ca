#pragma once

#include <functional>

// Hand-offs to the application's main thread, where settings observers, views and the
// bookkeeping of feed sources live.
namespace MainThread {
bool isCurrent();
// Runs the function on the main thread and returns when it has run; on the main thread at once.
// False when it was dropped, since the main thread no longer handles events (the application is
// closing). The caller must not hold a lock that the main thread may wait for.
bool runAndWait(std::function<void()> function);
// Queues the function for the main thread's event loop.
void post(std::function<void()> function);
// On the main thread: runs the functions queued by post() so far, without waiting for the loop.
void runPosted();
} // namespace MainThread
