// feedsim: the loopback feed server for tests, the demo and the benchmarks.
#include "feedsimserver.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <pthread.h>

namespace {

int usage(const char *program)
{
    std::cerr << "usage: " << program
              << " [--port N] [--host ADDRESS] [--entries M] [--tick SECONDS] [--no-favicon]\n"
              << "Serves generated feeds on loopback; prints the port, stops on SIGINT, SIGTERM or POST "
                 "/admin/quit.\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    FeedSimOptions options;
    std::string host = "127.0.0.1";
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        try {
            if (arg == "--port" && hasValue)
                port = std::stoi(argv[++i]);
            else if (arg == "--host" && hasValue)
                host = argv[++i];
            else if (arg == "--entries" && hasValue)
                options.entries = std::stoi(argv[++i]);
            else if (arg == "--tick" && hasValue)
                options.tick = std::stod(argv[++i]);
            else if (arg == "--no-favicon")
                options.favicon = false;
            else
                return usage(argv[0]);
        } catch (const std::exception &) {
            return usage(argv[0]);
        }
    }
    if (host != "127.0.0.1" && host != "::1" && host != "localhost") {
        std::cerr << "feedsim serves loopback only\n";
        return 2;
    }

    // Signals are taken by one thread with sigwait; every other thread blocks them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    FeedSimServer server(options);
    const int bound = server.start(host, port);
    if (bound < 0) {
        std::cerr << "feedsim: cannot listen on " << host << ":" << port << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    std::cout << bound << std::endl;

    std::thread signalWaiter([&server, signals] {
        int received = 0;
        sigwait(&signals, &received);
        server.requestQuit();
    });
    server.waitForQuit();
    server.stop();
    // Wake the signal thread if the quit came over HTTP.
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    return 0;
}
