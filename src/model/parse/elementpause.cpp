#include "model/parse/elementpause.h"

#include <algorithm>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Debt at which the thread sleeps.
constexpr std::chrono::nanoseconds kSleepThreshold = std::chrono::microseconds(100);
// Most time a long sleep may credit to later pauses.
constexpr std::chrono::nanoseconds kMaxCredit = std::chrono::milliseconds(1);

// Pause time owed by this thread (negative: slept ahead).
thread_local std::chrono::nanoseconds owed{0};

} // namespace

void ElementPause::pause(std::chrono::nanoseconds length)
{
    if (length <= std::chrono::nanoseconds::zero())
        return;
    owed += length;
    if (owed < kSleepThreshold)
        return;
    const auto start = SteadyClock::now();
    std::this_thread::sleep_for(owed);
    owed -= SteadyClock::now() - start;
    owed = std::max(owed, -kMaxCredit);
}
