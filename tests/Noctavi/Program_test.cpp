#include <support/ChildProcess.h>
#include <support/ProgramEnvironment.h>
#include <support/WaitUntil.h>

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <csignal>
#include <memory>

namespace {

namespace fs = boost::filesystem;
using support::ChildProcess;

const char kProgram[] = NOCTAVI_PROGRAM;

// The program as a process, in a throw-away home.
class ProgramTest : public ::testing::Test {
protected:
    // Starts the program and waits until it takes commands as a running
    // instance, which it does once it holds the lock and handles signals.
    std::unique_ptr<ChildProcess> StartInstance()
    {
        const fs::path channel = env_.RuntimeFolder() / "HollvikNoctaviMainFrame";
        fs::remove(channel);
        auto program = std::make_unique<ChildProcess>(kProgram, std::vector<std::string>{});
        EXPECT_TRUE(support::WaitUntil([&] { return fs::exists(channel); }, std::chrono::seconds(20)));
        return program;
    }

    support::ProgramEnvironment env_;
};

TEST_F(ProgramTest, OneInstanceRunsAndUninstallModeEndsItAfterItSaved)
{
    EXPECT_EQ(ChildProcess(kProgram, {"-u"}).WaitForExit(), 0) << "nothing to close";

    const auto first = StartInstance();
    EXPECT_EQ(ChildProcess(kProgram, {}).WaitForExit(), 11);
    EXPECT_FALSE(fs::exists(env_.DataFile()));

    EXPECT_EQ(ChildProcess(kProgram, {"-u"}).WaitForExit(), 0);
    EXPECT_TRUE(fs::exists(env_.DataFile())) << "the instance answers once it has saved";
    EXPECT_EQ(first->WaitForExit(), 0);
}

TEST_F(ProgramTest, EveryEndOfSessionSignalSavesAndEndsWithZero)
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        fs::remove(env_.DataFile());
        const auto program = StartInstance();
        program->Signal(signal);
        EXPECT_EQ(program->WaitForExit(), 0) << signal;
        EXPECT_TRUE(fs::exists(env_.DataFile())) << signal;
    }
}

} // namespace
