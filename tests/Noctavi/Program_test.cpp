#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/System/InstanceLock.h>

#include <support/ChildProcess.h>
#include <support/FakeInformationServer.h>
#include <support/FakeResponder.h>
#include <support/ProgramEnvironment.h>
#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/WaitUntil.h>

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = boost::filesystem;
using support::ChildProcess;
using Arguments = std::vector<std::string>;

const char kProgram[] = NOCTAVI_PROGRAM;

// The program as a process, in a throw-away home.
class ProgramTest : public ::testing::Test {
protected:
    // Starts the program and waits until it takes commands as a running
    // instance, which it does once it holds the lock and handles signals.
    std::unique_ptr<ChildProcess> StartInstance()
    {
        fs::remove(Channel());
        auto program = std::make_unique<ChildProcess>(kProgram, std::vector<std::string>{});
        EXPECT_TRUE(support::WaitUntil([&] { return fs::exists(Channel()); }, std::chrono::seconds(20)));
        return program;
    }

    // The instance channel, which goes once the program's exit has begun.
    fs::path Channel() const { return env_.RuntimeFolder() / "HollvikNoctaviMainFrame"; }

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
        // ThreadSanitizer's runtime can hold a signal back from the handler for
        // a while. Until the exit has begun the signal may come again: it only
        // asks for the exit once more.
        for (int attempt = 0; attempt < 20 && fs::exists(Channel()); ++attempt) {
            program->Signal(signal);
            support::WaitUntil([&] { return !fs::exists(Channel()); }, std::chrono::seconds(1));
        }
        EXPECT_EQ(program->WaitForExit(), 0) << signal;
        EXPECT_TRUE(fs::exists(env_.DataFile())) << signal;
    }
}

TEST_F(ProgramTest, WithoutADisplayUninstallModeStillClosesTheInstanceAndTheOtherModesEndWith10)
{
    const auto running = StartInstance();
    const support::ScopedEnv noX("DISPLAY", std::nullopt);
    const support::ScopedEnv noWayland("WAYLAND_DISPLAY", std::nullopt);
    const support::ScopedEnv noPlatform("QT_QPA_PLATFORM", std::nullopt);
    // Never the multicast group, should install mode get as far as its search.
    const support::ScopedEnv noSearch("NOCTAVI_SEARCH_TARGET", "127.0.0.1:0");
    EXPECT_EQ(ChildProcess(kProgram, {}).WaitForExit(), 10);
    EXPECT_EQ(ChildProcess(kProgram, {"-i", "--host", "127.0.0.75", "--uname", "Ada", "--uid", "ada"}).WaitForExit(),
              10);
    EXPECT_TRUE(fs::exists(Channel())) << "install mode closed nothing";
    EXPECT_EQ(ChildProcess(kProgram, {"-u"}).WaitForExit(), 0);
    EXPECT_EQ(running->WaitForExit(), 0);
}

// Install mode against a fake machine that a fake responder publishes after
// two others, with room for two entries and plain HTTP as the new entries'
// default. The sheet is confirmed as soon as it opens.
class InstallModeTest : public ProgramTest {
protected:
    using Stored = std::vector<std::pair<MonitoredEntry::MFP, MonitoredEntry::User>>;

    InstallModeTest()
    {
        std::ofstream(env_.DataFolder() / "config.dat", std::ios::app)
            << "ENTRY_MAX = 2\nENTRY_DEFAULT_SSL = 0\n";
        machine_.SetIdentity({"Reported MFP"});
        using Type = support::PublishedService::Type;
        for (const std::string other : {"68", "69"}) {
            responder_.Publish({"127.0.0." + other, "mfp-" + other + ".local",
                                {{Type::Ipp, "Other " + other, 631, {"ty=Other"}},
                                 {Type::Http, "Other " + other, 8080, {}},
                                 {Type::Https, "Other " + other, 8443, {}}}});
        }
        responder_.Publish({"127.0.0.71", "mfp-71.local",
                            {{Type::Ipp, "Copier 71", 631, {"ty=Maker 71"}}, {Type::Http, "Copier 71", Port(), {}}}});
    }

    static int Install(const Arguments& arguments)
    {
        return ChildProcess(kProgram, arguments).WaitForExit().value_or(-1);
    }

    std::uint16_t Port() { return machine_.Machine().Port(); }

    // The stored entries' machines and users, in table order.
    static Stored Load()
    {
        Serializer serializer;
        serializer.Load();
        const MonitoredEntry::ModelLock lock(serializer.GetEntryManager());
        Stored stored;
        for (const MonitoredEntry::Entry& entry : serializer.GetEntryManager().GetEntryDB())
            stored.emplace_back(entry.GetProperty().GetMFP(), entry.GetProperty().GetUser());
        return stored;
    }

    std::string DataFileBytes() const { return support::ReadFile(env_.DataFile()); }

    support::FakeInformationServer machine_{support::FakeMachine::Options("127.0.0.71")};
    support::FakeResponder responder_{"127.0.0.70"};
    support::ScopedEnv target_{"NOCTAVI_SEARCH_TARGET", responder_.Address() + ":" + std::to_string(responder_.Port())};
    support::ScopedEnv unattended_{"NOCTAVI_INSTALL_SHEET_OK", "1"};
};

TEST_F(InstallModeTest, TheSearchElseTheMachineCompletesWhatTheOptionsLeaveOpen)
{
    using MonitoredEntry::MFP;
    using MonitoredEntry::Password;
    using MonitoredEntry::User;

    EXPECT_EQ(Install({"-i", "--host", "127.0.0.71", "--uname", "Ada", "--uid", "ada", "--upass", "s3cret"}), 0);
    EXPECT_EQ(Load(), (Stored{{MFP(std::wstring(L"Copier 71"), L"127.0.0.71", Port(), 443, false),
                               User(std::wstring(L"Ada"), L"ada", Password(L"s3cret"))}}));

    fs::remove(env_.DataFile());
    responder_.Withdraw("127.0.0.71");
    EXPECT_EQ(Install({"-u", "--install", "--host", "127.0.0.71", "--http", std::to_string(Port()), "--https", "0",
                       "--uname", "Bo", "--uid", "bo"}),
              0)
        << "both switches give install mode";
    EXPECT_EQ(Load(), (Stored{{MFP(std::wstring(L"Reported MFP"), L"127.0.0.71", Port(), 0, false),
                               User(std::wstring(L"Bo"), L"bo", Password())}}));
}

TEST_F(InstallModeTest, ASelfSignedMachineIsPinnedInTheDataFolderAndGivesItsName)
{
    std::ofstream(env_.DataFolder() / "config.dat", std::ios::app) << "ENTRY_DEFAULT_SSL = 1\n";
    support::FakeInformationServer secure{
        support::FakeMachine::Options("127.0.0.74", support::SelfSignedCertificate("127.0.0.74"))};
    secure.SetIdentity({"Secure MFP"});
    EXPECT_EQ(Install({"-i", "--host", "127.0.0.74", "--https", std::to_string(secure.Machine().Port()), "--uname",
                       "Ada", "--uid", "ada"}),
              0);
    ASSERT_EQ(Load().size(), 1u);
    EXPECT_TRUE(Load().front().first.GetName() == std::wstring(L"Secure MFP"));
    EXPECT_EQ(support::ReadFile(env_.DataFolder() / "known_machines").rfind("127.0.0.74 ", 0), 0u);
}

TEST_F(InstallModeTest, EveryRefusalLeavesTheDataFileAsItWas)
{
    ASSERT_EQ(Install({"-i", "--host", "127.0.0.71", "--uname", "Ada", "--uid", "ada"}), 0);
    const std::string oneEntry = DataFileBytes();

    struct Case {
        Arguments options;
        int code;
    };
    const Case cases[] = {
        {{"--uname", "Bo", "--uid", "bo"}, 13},
        {{"--host", "127.0.0.72", "--uid", "bo"}, 13},
        {{"--host", "127.0.0.72", "--uname", "Bo"}, 13},
        {{"--host", "127.0.0.72", "--uname", "Bo", "--uid", ""}, 13},
        {{"--host", "no host", "--uname", "Bo", "--uid", "bo"}, 13},
        {{"--host", "127.0.0.72", "--mname", "", "--uname", "Bo", "--uid", "bo"}, 13},
        {{"--host", "127.0.0.72", "--http", "70000", "--uname", "Bo", "--uid", "bo"}, 13},
        {{"--host", "127.0.0.72", "--uname", "Bo", "--uid", "bo", "--upass", std::string(29, 'p')}, 13},
        {{"--host", "127.0.0.72", "--uname", "Bo", "--uid", "bo", "--upass", "s\xC3\xA9" "cret"}, 13},
        {{"--host", "127.0.0.72", "--uname", "Bo", "--uid", "b\to"}, 22},
        {{"--host", "127.0.0.72", "--uname", "Bo", "--uid", "bo", "--upass", "pa\x7Fss"}, 22},
        {{"--host", "127.0.0.71", "--uname", "Bo", "--uid", "bo"}, 21},
    };
    for (const Case& c : cases) {
        Arguments arguments{"-i"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(Install(arguments), c.code) << c.options.front() << ' ' << c.options.back();
        EXPECT_EQ(DataFileBytes(), oneEntry) << c.options.front() << ' ' << c.options.back();
    }

    ASSERT_EQ(Install({"-i", "--host", "127.0.0.72", "--http", "0", "--mname", "Second", "--uname", "Bo", "--uid", "bo",
                       "--upass", std::string(28, 'p')}),
              0);
    const std::string twoEntries = DataFileBytes();
    EXPECT_EQ(Install({"-i", "--host", "127.0.0.73", "--uname", "Cy", "--uid", "cy"}), 20);
    EXPECT_EQ(DataFileBytes(), twoEntries);
}

TEST_F(InstallModeTest, TheRunningInstanceIsClosedFirstAndOneThatCannotBeGivesCode21)
{
    const auto running = StartInstance();
    EXPECT_EQ(Install({"-i", "--host", "127.0.0.71", "--uname", "Ada", "--uid", "ada"}), 0);
    EXPECT_EQ(running->WaitForExit(), 0);
    EXPECT_EQ(Load().size(), 1u) << "the instance saved before install mode loaded";

    const std::string stored = DataFileBytes();
    System::InstanceLock silentInstance;
    ASSERT_TRUE(silentInstance.TryLock());
    EXPECT_EQ(Install({"-i", "--host", "127.0.0.72", "--uname", "Bo", "--uid", "bo"}), 21);
    EXPECT_EQ(DataFileBytes(), stored);
}

} // namespace
