#include <pelmo/fatal_error.hpp>
#include <pelmo/thread/actor.hpp>
#include <pelmo/thread/actor_group.hpp>
#include <pelmo/thread/sync_queue.hpp>

#include <support/WaitUntil.h>

#include <boost/make_shared.hpp>
#include <boost/thread/thread.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>

namespace {

// Blocks in a queue pop until interrupted, as the model's workers do.
class BlockedActor : public pelmo::actor<> {
public:
    ~BlockedActor() override { Join(); }

    std::atomic<int> starts{0};
    std::atomic<int> stops{0};
    std::atomic<int> runs{0};

protected:
    void OnStart() override { ++starts; }
    void OnStop() override { ++stops; }
    int Run() override
    {
        ++runs;
        int value = 0;
        queue_.pop(value);
        return value;
    }

private:
    pelmo::sync_queue<int> queue_{1};
};

class ReturningActor : public pelmo::actor<> {
public:
    explicit ReturningActor(int code) : code_(code) {}
    ~ReturningActor() override { Join(); }

protected:
    int Run() override { return code_; }

private:
    int code_;
};

// Fails its first run only, so a later run shows what a new start clears.
class ThrowingOnceActor : public pelmo::actor<> {
public:
    ~ThrowingOnceActor() override { Join(); }

protected:
    int Run() override
    {
        if (runs_++ == 0)
            PELMO_THROW(pelmo::fatal_error());
        return 5;
    }

private:
    std::atomic<int> runs_{0};
};

class FailingStartActor : public pelmo::actor<> {
public:
    ~FailingStartActor() override { Join(); }

protected:
    void OnStart() override { throw std::runtime_error("no start"); }
    int Run() override { return 0; }
};

TEST(Actor, IdleActorIgnoresInterruptAndJoin)
{
    BlockedActor actor;
    actor.Interrupt();
    actor.Join();
    EXPECT_EQ(actor.stops.load(), 0);
    EXPECT_FALSE(actor.IsRunning());
    EXPECT_NO_THROW(actor.Rethrow());
}

TEST(Actor, JoinEndsABlockedPopPromptly)
{
    BlockedActor actor;
    actor.Start();
    ASSERT_TRUE(support::WaitUntil([&] { return actor.runs.load() == 1; }));
    const auto begin = std::chrono::steady_clock::now();
    actor.Join();
    // A pop that the interruption did not end would block for good.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
    EXPECT_FALSE(actor.IsRunning());
    EXPECT_THROW(actor.Rethrow(), boost::thread_interrupted);
}

TEST(Actor, StopRunsOncePerStartAndRestartRunsAgain)
{
    BlockedActor actor;
    actor.Start();
    actor.Start();
    EXPECT_EQ(actor.starts.load(), 1);
    actor.Interrupt();
    actor.Interrupt();
    actor.Join();
    EXPECT_EQ(actor.stops.load(), 1);

    actor.Start();
    ASSERT_TRUE(support::WaitUntil([&] { return actor.runs.load() == 2; }));
    actor.Join();
    EXPECT_EQ(actor.starts.load(), 2);
    EXPECT_EQ(actor.stops.load(), 2);
}

TEST(Actor, RunningUntilJoinedAndExitCodeKept)
{
    ReturningActor actor(7);
    actor.Start();
    ASSERT_TRUE(support::WaitUntil([&] { return actor.GetExitCode() == 7; }));
    EXPECT_TRUE(actor.IsRunning());
    actor.Join();
    EXPECT_FALSE(actor.IsRunning());
    EXPECT_EQ(actor.GetExitCode(), 7);
}

TEST(Actor, EscapingExceptionIsHandedBackWithItsTypeUntilTheNextStart)
{
    ThrowingOnceActor actor;
    actor.Start();
    actor.Join();
    EXPECT_EQ(actor.GetExitCode(), 0);
    EXPECT_THROW(actor.Rethrow(), pelmo::fatal_error);

    actor.Start();
    ASSERT_TRUE(support::WaitUntil([&] { return actor.GetExitCode() == 5; }));
    actor.Join();
    EXPECT_NO_THROW(actor.Rethrow());
}

// Monitors are stopped from the model's notification thread, which is itself
// interrupted at shut-down: joining and destroying there must still wait.
TEST(Actor, JoinAndDestructionWaitOnAThreadWithAnInterruptionPending)
{
    std::promise<void> interrupted;
    bool joinThrew = true;
    bool stillRunning = true;
    bool stillPending = false;
    const std::future<void> go = interrupted.get_future();
    boost::thread stopper([&] {
        go.wait();
        {
            BlockedActor destroyed;
            destroyed.Start();
            BlockedActor joined;
            joined.Start();
            try {
                joined.Join();
                joinThrew = false;
            } catch (...) {
            }
            stillRunning = joined.IsRunning() || joined.runs.load() != 1;
        }
        stillPending = boost::this_thread::interruption_requested();
    });
    stopper.interrupt();
    interrupted.set_value();
    stopper.join();
    EXPECT_FALSE(joinThrew);
    EXPECT_FALSE(stillRunning);
    EXPECT_TRUE(stillPending) << "the caller's interruption is kept for it";
}

TEST(Actor, FailedStartDoesNotLookRunning)
{
    FailingStartActor actor;
    EXPECT_THROW(actor.Start(), std::runtime_error);
    EXPECT_FALSE(actor.IsRunning());
}

TEST(ActorGroup, StartsAndJoinsEveryMember)
{
    auto first = boost::make_shared<BlockedActor>();
    auto second = boost::make_shared<BlockedActor>();
    pelmo::actor_group group;
    group.add(first);
    group.add(second);
    group.start_all();
    EXPECT_TRUE(first->IsRunning());
    EXPECT_TRUE(second->IsRunning());
    group.join_all();
    EXPECT_FALSE(first->IsRunning());
    EXPECT_FALSE(second->IsRunning());
    EXPECT_EQ(first->stops.load() + second->stops.load(), 2);
}

} // namespace
