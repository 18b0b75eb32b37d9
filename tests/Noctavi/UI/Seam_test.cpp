#include <Noctavi/UI/Seam.h>

#include <gtest/gtest.h>

namespace {

TEST(Seam, OverridesNestAndEachPutsBackWhatItReplaced)
{
    using Seam = UI::Seam<int(int)>;
    Seam seam([](int x) { return x + 1; });
    {
        const Seam::Override outer(seam, [](int x) { return x * 10; });
        {
            const Seam::Override inner(seam, [](int x) { return -x; });
            EXPECT_EQ(seam(2), -2);
        }
        EXPECT_EQ(seam(2), 20);
    }
    EXPECT_EQ(seam(2), 3);
}

} // namespace
