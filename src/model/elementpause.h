#pragma once

#include <chrono>

// The short pause a refresh thread takes at every element start, so that parsing a large feed
// leaves the CPU to the user interface and to other feeds. A plain sleep of 10 µs lasts several
// times longer on Linux (timer slack, wake-up latency); this one aims at the requested length.
class ElementPause {
public:
    static constexpr std::chrono::nanoseconds standardLength = std::chrono::microseconds(10);

    // Waits for about `length` (nothing for zero or less). Sleeps for most of it and waits out
    // the last stretch, learning per thread how late the sleeps wake up. Lowers the calling
    // thread's timer slack to 1 µs on first use.
    static void pause(std::chrono::nanoseconds length = standardLength);
};
