#include <Noctavi/System/Shell.h>

#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/TempDir.h>
#include <support/WaitUntil.h>

#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

namespace fs = boost::filesystem;

// A stand-in "xdg-open" first on PATH that logs its working folder and
// arguments, one line per run.
class ShellOpen : public ::testing::Test {
protected:
    ShellOpen()
    {
        fs::create_directory(Bin());
        fs::create_directory(Home());
        WriteScript("#!/bin/sh\nprintf '%s|%s\\n' \"$PWD\" \"$*\" >> \"" + Log().string() + "\"\n");
    }

    fs::path Bin() const { return dir_.Path() / "bin"; }
    fs::path Home() const { return dir_.Path() / "home"; }
    fs::path Log() const { return dir_.Path() / "opened.log"; }

    void WriteScript(const std::string& text) const
    {
        const fs::path script = Bin() / "xdg-open";
        std::ofstream(script.string()) << text;
        fs::permissions(script, fs::perms::owner_all);
    }

    std::string LoggedLines() const { return support::ReadFile(Log()); }

    // The opener runs detached, so its line appears some time after the call.
    std::string WaitForLines(std::size_t count) const
    {
        EXPECT_TRUE(support::WaitUntil([&] {
            const std::string lines = LoggedLines();
            return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')) >= count;
        }));
        return LoggedLines();
    }

    support::TempDir dir_;
    support::ScopedEnv path_{"PATH", Bin().string() + ":/usr/bin:/bin"};
    support::ScopedEnv home_{"HOME", Home().string()};
};

TEST_F(ShellOpen, StartsTheOpenerFromTheHomeFolder)
{
    const boost::optional<pid_t> opener = System::ShellOpen(L"/some where/file.pdf");
    ASSERT_TRUE(opener);
    EXPECT_GT(*opener, 0);
    EXPECT_EQ(WaitForLines(1), Home().string() + "|/some where/file.pdf\n");
}

TEST_F(ShellOpen, QueryIsAddedOnlyWhenNotEmpty)
{
    System::OpenURLWithQuery("", L"http://127.0.0.1/noctavi.htm");
    EXPECT_EQ(WaitForLines(1), Home().string() + "|http://127.0.0.1/noctavi.htm\n");
    System::OpenURLWithQuery("NTV=3&UN=me", L"http://127.0.0.1/noctavi.htm");
    EXPECT_EQ(WaitForLines(2), Home().string() + "|http://127.0.0.1/noctavi.htm\n" + Home().string()
                                   + "|http://127.0.0.1/noctavi.htm?NTV=3&UN=me\n");
}

TEST_F(ShellOpen, FailureToStartGivesNone)
{
    WriteScript("#!/nonexistent/interpreter\n");
    EXPECT_FALSE(System::ShellOpen(L"/file"));

    const support::ScopedEnv path("PATH", (dir_.Path() / "empty").string());
    EXPECT_FALSE(System::ShellOpen(L"/file"));
    EXPECT_NO_THROW(System::OpenPath(L"/file"));
}

} // namespace
