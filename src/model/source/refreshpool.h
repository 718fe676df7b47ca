#pragma once

#include "platform/threadhandoff.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

// The threads that feed refreshes run on, and the state the refreshes of one manager share: how
// many run, the arrival numbers and the time of the last successful refresh.
//
// A refresh starts only while fewer than the capacity run, and then has a thread to itself. A
// thread whose refresh has ended waits for the next one, so what it caches per thread lasts as
// long as the pool. close() cancels the transfers under way (they watch stopToken()), serves the
// refreshes' last hand-offs to the main thread, and joins every thread; nothing outlives it.
//
// The pool belongs to the main thread: make it and close it there. Any thread may start
// refreshes and read or advance the shared state.
class RefreshPool {
public:
    // Ends a refresh's claim on the capacity before the refresh function returns, so that what
    // the refresh does last (reporting that it ended) comes after a new one may start.
    using Release = std::function<void()>;

    RefreshPool();
    ~RefreshPool(); // closes
    RefreshPool(const RefreshPool &) = delete;
    RefreshPool &operator=(const RefreshPool &) = delete;

    // Runs the refresh on a thread of its own when fewer than `capacity` refreshes run; false
    // when they do, and always once the pool closes. The refresh counts as running until it calls
    // `release` or returns.
    bool tryStart(int capacity, std::function<void(const Release &release)> refresh);
    int runningRefreshes() const;

    // Stopped when the pool closes: transfers that watch it give up at once.
    std::stop_token stopToken() const { return m_stop.get_token(); }

    // Runs the function on the main thread and returns once it has run (at once on the main
    // thread). The caller must not hold a lock that the main thread may wait for.
    void runOnMainThread(const std::function<void()> &function);

    // Cancels the refreshes under way and waits for them, running their hand-offs meanwhile when
    // called on the main thread, then ends every thread. Later starts are refused.
    void close();

    // The last arrival number handed out (0 before the first) and the next one: unique and
    // increasing across all threads.
    int currentSequence() const { return m_sequence.load(); }
    int nextSequence() { return ++m_sequence; }

    // Seconds since 1970 of the most recent successful refresh of any source; 0 before the first.
    double lastUpdateSince1970() const { return m_lastSuccess.load(); }
    void setLastUpdateSince1970(double seconds) { m_lastSuccess.store(seconds); }

private:
    struct Worker;
    struct HandOff;
    void work(Worker &worker);
    void runHandOffs(std::unique_lock<std::mutex> &lock);

    mutable std::mutex m_mutex;        // guards the members up to m_closing
    std::condition_variable m_changed; // a refresh ended or handed work to the main thread
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::deque<HandOff *> m_handOffs; // waiting for the main thread, oldest first
    int m_running = 0;
    bool m_closing = false;

    std::stop_source m_stop;
    std::atomic<int> m_sequence = 0;
    std::atomic<double> m_lastSuccess = 0;
    // Makes the main thread run the hand-offs; the calls still queued when the pool goes are
    // dropped with it.
    ThreadHandOff m_mainThread;
};
