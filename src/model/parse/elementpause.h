#pragma once

#include <chrono>

// The short pause a refresh thread takes at every element start, so that parsing a large feed
// leaves the CPU to the user interface and to other feeds.
//
// A sleep of 10 µs really lasts several times that on Linux (timer slack, wake-up latency), so
// each pause adds its length to what the thread owes and the thread sleeps once the debt reaches
// 100 µs; a sleep that lasts too long is credited to the following pauses. Over a document the
// time paused per element is then the requested length, and the thread never spins.
class ElementPause {
public:
    static constexpr std::chrono::nanoseconds standardLength = std::chrono::microseconds(10);

    // Pauses the calling thread for `length` on average (nothing for zero or less).
    static void pause(std::chrono::nanoseconds length = standardLength);
};
