#pragma once

#include <QAnimationDriver>

// A clock for every Qt animation that moves only when the test says so. While an object
// exists, animations advance through advanceBy() and never by the wall clock, so a test can
// look at any frame of an animation without sleeping.
class SteppingAnimationDriver final : public QAnimationDriver {
public:
    SteppingAnimationDriver();
    ~SteppingAnimationDriver() override;
    SteppingAnimationDriver(const SteppingAnimationDriver &) = delete;
    SteppingAnimationDriver &operator=(const SteppingAnimationDriver &) = delete;

    qint64 elapsed() const override { return m_elapsed; }

    // Lets animations started since the last step register, then moves the clock on by `ms`
    // milliseconds and advances every running animation to the new time.
    void advanceBy(qint64 ms);

    // advanceBy in frames of `frameMs` until `ms` have passed, as a display would.
    void advanceInFrames(qint64 ms, qint64 frameMs = 16);

private:
    qint64 m_elapsed = 0;
};
