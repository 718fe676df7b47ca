#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct FeedSimOptions {
    int entries = 20;    // entries per feed unless a request says otherwise
    double tick = 0;     // seconds per automatic step of the clock; 0: only the admin moves it
    bool favicon = true; // serve /favicon.ico
};

// The loopback feed server: generated feeds whose entries change step by step, icons, and
// misbehaviour on request. See README.md for the URL scheme.
class FeedSimServer {
public:
    explicit FeedSimServer(FeedSimOptions options = {});
    ~FeedSimServer();
    FeedSimServer(const FeedSimServer &) = delete;
    FeedSimServer &operator=(const FeedSimServer &) = delete;

    // Listens on the address in the background; returns the port, or -1 when it cannot bind.
    int start(const std::string &host = "127.0.0.1", int port = 0);
    // Ends slow and endless responses and stops listening.
    void stop();

    // Blocks until /admin/quit is requested or requestQuit() is called.
    void waitForQuit();
    void requestQuit();

    std::string baseUrl() const { return m_baseUrl; }
    int64_t step() const;
    void advance(int64_t steps);
    int hits(const std::string &path) const;

    // Waits for the time unless the server stops first; false when it stopped.
    bool pauseFor(std::chrono::milliseconds duration);
    bool stopping() const { return m_stopping; }

private:
    void addFeedRoutes();
    void addAdminRoutes();
    void addMisbehaviourRoutes();
    std::string gzipBomb(int mebibytes);

    FeedSimOptions m_options;
    httplib::Server m_server;
    std::thread m_thread;
    std::string m_baseUrl;
    std::chrono::steady_clock::time_point m_startTime = std::chrono::steady_clock::now();
    int64_t m_origin = 0;

    mutable std::mutex m_mutex; // guards everything below
    std::condition_variable m_changed;
    int64_t m_adminSteps = 0;
    bool m_favicon = true;
    bool m_quitRequested = false;
    std::map<std::string, int> m_hits;
    std::map<int, std::string> m_bombs;
    std::atomic<bool> m_stopping{false};

    friend struct FeedRequest;
};
