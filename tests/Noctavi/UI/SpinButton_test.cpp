#include <Noctavi/UI/SpinButton.h>

#include <gtest/gtest.h>

#include <QLineEdit>

namespace {

// The buddy may hold anything the user typed; a step always ends in range.
TEST(SpinButton, StepsTheBuddysNumberWithinTheRange)
{
    const struct {
        const char* typed;
        int steps;
        const char* shown;
    } cases[] = {
        {"5", 1, "6"},   {"5", -1, "4"},  {"1", -1, "1"}, {"50", 1, "50"},
        {"", 1, "1"},    {"51", -1, "49"}, {"0", 1, "2"},  {"99999999999999999999", -1, "1"},
    };
    QLineEdit buddy;
    UI::SpinButton spin;
    spin.SetBuddy(buddy);
    spin.SetRange(1, 50);
    for (const auto& each : cases) {
        buddy.setText(each.typed);
        spin.Step(each.steps);
        EXPECT_EQ(buddy.text(), each.shown) << '"' << each.typed << "\" " << each.steps;
    }
}

} // namespace
