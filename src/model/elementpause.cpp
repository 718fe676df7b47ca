#include "model/elementpause.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct ThreadState {
    bool slackLowered = false;
    // How much later than asked a sleep wakes up on this thread, smoothed.
    std::chrono::nanoseconds wakeLatency{std::chrono::microseconds(5)};
};

thread_local ThreadState state;

void lowerTimerSlack()
{
    if (state.slackLowered)
        return;
    // The default slack of 50 µs would make every pause last at least that long.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    state.slackLowered = true;
}

void sleepUntil(Clock::time_point target)
{
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(target.time_since_epoch());
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(sinceEpoch.count() / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(sinceEpoch.count() % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
    }
}

} // namespace

void ElementPause::pause(std::chrono::nanoseconds length)
{
    if (length <= std::chrono::nanoseconds::zero())
        return;
    lowerTimerSlack();
    const auto start = Clock::now();
    const auto end = start + length;
    const auto wakeTarget = end - state.wakeLatency;
    if (wakeTarget > start) {
        sleepUntil(wakeTarget);
        const auto late = Clock::now() - wakeTarget;
        const auto observed = std::clamp<std::chrono::nanoseconds>(late, std::chrono::nanoseconds::zero(), length);
        state.wakeLatency = (state.wakeLatency * 7 + observed) / 8;
    }
    while (Clock::now() < end)
        std::this_thread::yield();
}
