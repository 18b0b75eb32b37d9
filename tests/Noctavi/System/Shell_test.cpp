#include <Noctavi/System/Shell.h>

#include <support/ScopedEnv.h>
#include <support/StandInOpener.h>

#include <gtest/gtest.h>

namespace {

class ShellOpen : public ::testing::Test {
protected:
    support::StandInOpener opener_;
};

TEST_F(ShellOpen, StartsTheOpenerFromTheHomeFolder)
{
    const boost::optional<pid_t> opener = System::ShellOpen(L"/some where/file.pdf");
    ASSERT_TRUE(opener);
    EXPECT_GT(*opener, 0);
    EXPECT_EQ(opener_.WaitForLines(1), opener_.Home().string() + "|/some where/file.pdf\n");
}

TEST_F(ShellOpen, QueryIsAddedOnlyWhenNotEmpty)
{
    const std::string home = opener_.Home().string();
    System::OpenURLWithQuery("", L"http://127.0.0.1/noctavi.htm");
    EXPECT_EQ(opener_.WaitForLines(1), home + "|http://127.0.0.1/noctavi.htm\n");
    System::OpenURLWithQuery("NTV=3&UN=me", L"http://127.0.0.1/noctavi.htm");
    EXPECT_EQ(opener_.WaitForLines(2),
              home + "|http://127.0.0.1/noctavi.htm\n" + home + "|http://127.0.0.1/noctavi.htm?NTV=3&UN=me\n");
}

TEST_F(ShellOpen, FailureToStartGivesNone)
{
    opener_.WriteScript("#!/nonexistent/interpreter\n");
    EXPECT_FALSE(System::ShellOpen(L"/file"));

    const support::ScopedEnv path("PATH", opener_.EmptyFolder().string());
    EXPECT_FALSE(System::ShellOpen(L"/file"));
    EXPECT_NO_THROW(System::OpenPath(L"/file"));
}

} // namespace
