#include "services/operations/operation.h"
#include "services/operations/operationqueue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

// Records how many operations of its group run at the same time and the order they started in.
struct Tally {
    std::mutex lock;
    std::vector<int> started;
    int running = 0;
    int mostAtOnce = 0;
};

class CountingOperation : public Operation {
public:
    CountingOperation(Tally &tally, int number, bool fail = false)
        : m_tally(tally), m_number(number), m_fail(fail)
    {
    }
    void main() override
    {
        {
            std::lock_guard lock(m_tally.lock);
            m_tally.started.push_back(m_number);
            m_tally.mostAtOnce = std::max(m_tally.mostAtOnce, ++m_tally.running);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(m_tally.lock);
        --m_tally.running;
        if (m_fail)
            throw std::runtime_error("deliberate failure");
    }

private:
    Tally &m_tally;
    int m_number;
    bool m_fail;
};

TEST(OperationQueueTest, runsEveryOperationInQueueOrderWithinTheConcurrencyLimit)
{
    Tally tally;
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    for (int number = 0; number < 20; ++number)
        queue.addOperation(std::make_shared<CountingOperation>(tally, number, number == 3));
    queue.waitUntilAllOperationsAreFinished();

    EXPECT_EQ(queue.operationCount(), 0);
    ASSERT_EQ(tally.started.size(), 20u) << "a throwing operation stops nothing else";
    for (int number = 0; number < 20; ++number)
        EXPECT_EQ(tally.started[number], number);
    EXPECT_EQ(tally.mostAtOnce, 1);
}

TEST(OperationQueueTest, runsSeveralAtOnceAndReleasesEachOperationWhenItIsDone)
{
    Tally tally;
    std::vector<std::weak_ptr<Operation>> queued;
    {
        OperationQueue queue;
        queue.setMaxConcurrentOperationCount(4);
        EXPECT_EQ(queue.maxConcurrentOperationCount(), 4);
        for (int number = 0; number < 40; ++number) {
            auto operation = std::make_shared<CountingOperation>(tally, number);
            queued.push_back(operation);
            queue.addOperation(std::move(operation));
        }
        queue.waitUntilAllOperationsAreFinished();
    }
    EXPECT_EQ(tally.started.size(), 40u);
    EXPECT_LE(tally.mostAtOnce, 4);
    EXPECT_GT(tally.mostAtOnce, 1);
    for (const auto &operation : queued)
        EXPECT_TRUE(operation.expired());
}

} // namespace
