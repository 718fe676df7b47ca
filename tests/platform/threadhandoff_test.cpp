#include "common/waitfor.h"

#include "platform/mainthread.h"
#include "platform/threadhandoff.h"

#include <QThread>
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace {

// A hand-off whose thread is a QThread of the test's own, running its event loop.
class ThreadHandOffTest : public ::testing::Test {
protected:
    ThreadHandOffTest() { target.start(); }
    ~ThreadHandOffTest() override
    {
        target.quit();
        target.wait();
    }

    std::vector<int> ranOnTarget()
    {
        std::lock_guard guard(mutex);
        return ran;
    }
    std::function<void()> record(int number)
    {
        return [this, number] {
            std::lock_guard guard(mutex);
            if (QThread::currentThread() == &target)
                ran.push_back(number);
        };
    }

    QThread target;
    std::mutex mutex;
    std::vector<int> ran;
};

TEST_F(ThreadHandOffTest, postedFunctionsRunOnItsThreadInTheOrderPosted)
{
    ThreadHandOff handOff(&target);
    std::thread poster([&] {
        for (int number = 0; number < 100; ++number)
            handOff.post(record(number));
    });
    poster.join();
    ASSERT_TRUE(waitFor([&] { return ranOnTarget().size() == 100; }));
    const std::vector<int> numbers = ranOnTarget();
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
}

TEST_F(ThreadHandOffTest, runAndWaitReturnsOnceTheFunctionHasRunThereAndAtOnceOnItsOwnThread)
{
    ThreadHandOff handOff(&target);
    EXPECT_TRUE(handOff.runAndWait(record(1)));
    EXPECT_EQ(ranOnTarget(), std::vector<int>{1});

    ThreadHandOff here;
    bool ranHere = false;
    EXPECT_TRUE(here.runAndWait(
        [&] { ranHere = QThread::currentThread() == QCoreApplication::instance()->thread(); }));
    EXPECT_TRUE(ranHere);
}

TEST_F(ThreadHandOffTest, whatIsStillOnItsWayWhenTheHandOffGoesIsDropped)
{
    // Its thread does not handle events before the hand-off is destroyed.
    bool dropped = true;
    {
        ThreadHandOff handOff;
        handOff.post([&] { dropped = false; });
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(dropped);
}

TEST(MainThreadTest, functionsFromOtherThreadsRunOnTheMainThreadWhenItHandlesEvents)
{
    bool posted = false;
    bool waited = false;
    std::thread worker([&] {
        MainThread::post([&] { posted = MainThread::isCurrent(); });
        EXPECT_TRUE(MainThread::runAndWait([&] { waited = MainThread::isCurrent(); }));
    });
    ASSERT_TRUE(waitFor([&] { return waited; }));
    worker.join();
    EXPECT_TRUE(posted);

    bool ranPosted = false;
    MainThread::post([&] { ranPosted = true; });
    MainThread::runPosted();
    EXPECT_TRUE(ranPosted);
}

} // namespace
