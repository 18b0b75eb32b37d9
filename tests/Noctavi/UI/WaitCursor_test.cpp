#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/WaitCursor.h>

#include <support/ui/ProcessEventsUntil.h>
#include <support/ui/MessageBoxRecorder.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include <stdexcept>

namespace {

bool ShowsWaitCursor()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

TEST(WaitCursor, ShowsWhileHeldAndHoldsAnExitBackUntilTheLastScopeEnds)
{
    int exits = 0;
    {
        const UI::WaitCursor outer;
        {
            const UI::WaitCursor inner;
            EXPECT_TRUE(ShowsWaitCursor());
            UI::DeferredExit::Request([&] { ++exits; });
            UI::DeferredExit::Request([&] { exits += 100; });
        }
        EXPECT_TRUE(ShowsWaitCursor());
        QCoreApplication::processEvents();
        EXPECT_EQ(exits, 0);
    }
    EXPECT_FALSE(ShowsWaitCursor());
    EXPECT_FALSE(UI::WaitCursor::IsHeld());
    EXPECT_EQ(exits, 0) << "the exit runs after the handler that held the cursor";
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return exits != 0; }));
    EXPECT_EQ(exits, 1);

    UI::DeferredExit::Request([&] { ++exits; });
    EXPECT_EQ(exits, 2);
}

TEST(WaitCursor, AHeldBackExitThatThrowsIsReported)
{
    const support::MessageBoxRecorder recorder;
    {
        const UI::WaitCursor cursor;
        UI::DeferredExit::Request([] { throw std::runtime_error("exit failed"); });
    }
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return !recorder.Requests().empty(); }));
    EXPECT_EQ(recorder.Requests()[0].text, "An unsupported operation was attempted.");
}

} // namespace
