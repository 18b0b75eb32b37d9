#include <pelmo/logic_error.hpp>
#include <pelmo/thread/sync_queue.hpp>

#include <support/WaitUntil.h>

#include <boost/thread/thread.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Queue = pelmo::sync_queue<int>;
using boost::posix_time::milliseconds;

TEST(SyncQueue, FirstInFirstOut)
{
    Queue queue(4);
    for (int i = 1; i <= 4; ++i)
        queue.push(i);
    for (int i = 1; i <= 4; ++i) {
        int value = 0;
        queue.pop(value);
        EXPECT_EQ(value, i);
    }
}

TEST(SyncQueue, TryPushOnAFullQueueLeavesItAsItWas)
{
    Queue queue(1);
    EXPECT_TRUE(queue.try_push(1));
    EXPECT_FALSE(queue.try_push(2));
    int value = 0;
    ASSERT_TRUE(queue.pop(value, milliseconds(0)));
    EXPECT_EQ(value, 1);
}

TEST(SyncQueue, TimedPopOnAnEmptyQueueReturnsFalseAtOnce)
{
    Queue queue(1);
    int value = 0;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(queue.pop(value, milliseconds(0)));
    // A pop that waited for a value would never return.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
}

TEST(SyncQueue, CapacityBelowOneIsRefused)
{
    EXPECT_THROW(Queue(0), pelmo::logic_error);
    EXPECT_THROW(Queue(-3), pelmo::logic_error);
}

TEST(SyncQueue, DisabledQueueRefusesEverythingEvenWithElementsLeft)
{
    Queue queue(2);
    queue.push(1);
    queue.disable();
    int value = 0;
    EXPECT_THROW(queue.push(2), pelmo::sync_queue_disabled);
    EXPECT_THROW(queue.try_push(2), pelmo::sync_queue_disabled);
    EXPECT_THROW(queue.pop(value), pelmo::sync_queue_disabled);
    EXPECT_THROW(queue.pop(value, milliseconds(10)), pelmo::sync_queue_disabled);
}

// Threads that a missing wake-up leaves blocked are interrupted on the way
// out, so that the test fails by its assertion rather than by its time-out.
class InterruptedOnExit {
public:
    ~InterruptedOnExit()
    {
        threads.interrupt_all();
        threads.join_all();
    }

    boost::thread_group threads;
};

TEST(SyncQueue, DisableWakesBlockedPushersAndPoppers)
{
    Queue full(1);
    full.push(0);
    Queue empty(1);
    std::atomic<int> woken{0};
    std::atomic<int> waiting{0};
    InterruptedOnExit blocked;
    for (int i = 0; i < 3; ++i) {
        blocked.threads.create_thread([&] {
            ++waiting;
            try {
                full.push(1);
            } catch (const pelmo::sync_queue_disabled&) {
                ++woken;
            }
        });
        blocked.threads.create_thread([&] {
            ++waiting;
            int value = 0;
            try {
                empty.pop(value);
            } catch (const pelmo::sync_queue_disabled&) {
                ++woken;
            }
        });
    }
    ASSERT_TRUE(support::WaitUntil([&] { return waiting.load() == 6; }));
    full.disable();
    empty.disable();
    EXPECT_TRUE(support::WaitUntil([&] { return woken.load() == 6; }));
}

TEST(SyncQueue, ManyProducersAndConsumersLoseAndRepeatNothing)
{
    constexpr int kThreads = 8;
    constexpr int kPerProducer = 2000;
    Queue queue(16);
    std::mutex seenMutex;
    std::vector<int> seen;
    std::vector<std::thread> threads;
    for (int p = 0; p < kThreads; ++p)
        threads.emplace_back([&queue, p] {
            for (int i = 0; i < kPerProducer; ++i)
                queue.push(p * kPerProducer + i);
        });
    for (int c = 0; c < kThreads; ++c)
        threads.emplace_back([&] {
            std::vector<int> mine;
            int lastPerProducer[kThreads];
            std::fill(std::begin(lastPerProducer), std::end(lastPerProducer), -1);
            for (int i = 0; i < kPerProducer; ++i) {
                int value = 0;
                queue.pop(value);
                // One producer's elements reach any one consumer in the order they were pushed.
                const int producer = value / kPerProducer;
                EXPECT_GT(value, lastPerProducer[producer]);
                lastPerProducer[producer] = value;
                mine.push_back(value);
            }
            std::lock_guard<std::mutex> lock(seenMutex);
            seen.insert(seen.end(), mine.begin(), mine.end());
        });
    for (auto& thread : threads)
        thread.join();
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kPerProducer));
    for (int i = 0; i < kThreads * kPerProducer; ++i)
        ASSERT_EQ(seen[i], i);
}

} // namespace
