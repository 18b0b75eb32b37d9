#include <Noctavi/Application.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/Strings.h>

#include <support/ProgramEnvironment.h>
#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/ScopedSearchOptions.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/ScopedSettings.h>
#include <support/ui/FakeTray.h>
#include <support/ui/MessageBoxRecorder.h>

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = boost::filesystem;

// The application object run in this process, with the boxes it shows
// answered at once.
class ApplicationTest : public ::testing::Test {
protected:
    // Runs the application; `meanwhile` runs from its event loop, when it
    // gets there.
    int Run(const std::vector<std::string>& arguments, const std::function<void()>& meanwhile = [] {})
    {
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, meanwhile);
        timer.start(0);
        Application application;
        return application.Run(arguments);
    }

    static QString Box(unsigned int id) { return UI::LoadString(id); }

    support::ProgramEnvironment env_;
    support::ScopedSettings settings_;
    support::FakeTray tray_;
    support::MessageBoxRecorder boxes_{QMessageBox::Ok};
};

TEST_F(ApplicationTest, TheCommandLineChoosesTheModeIgnoringUnknownOptionsAndAValueThatDoesNotConvertFails)
{
    struct Case {
        std::vector<std::string> arguments;
        int code;
        QStringList boxes;
    };
    const Case cases[] = {
        {{"--http", "abc"}, 10, {Box(175)}},
        {{"-u", "--https", "8x"}, 10, {Box(175)}},
        {{"-i", "--http", "8080abc"}, 10, {Box(175)}},
        {{"-i", "--uid", "a", "--uid", "b"}, 10, {Box(175)}},
        {{"-i", "--host"}, 10, {Box(175)}},
        {{"--bogus", "stray", "-u"}, 0, {}},
        {{"--convert", "--uninstall", "--http", "0", "--host", "127.0.0.1"}, 0, {}},
    };
    for (const Case& c : cases) {
        boxes_.Clear();
        EXPECT_EQ(Run(c.arguments), c.code) << c.arguments.front();
        EXPECT_EQ(boxes_.Texts(), c.boxes) << c.arguments.front();
    }
}

TEST_F(ApplicationTest, NormalModeEndsWithTheCodeThatItsEndCalledFor)
{
    EXPECT_EQ(Run({}, [] { std::raise(SIGTERM); }), 0);
    EXPECT_TRUE(fs::exists(env_.DataFile())) << "saved on the way out";

    EXPECT_EQ(Run({}, [] { QCoreApplication::exit(5); }), 100) << "a loop ended with a code nobody stored";

    System::InstanceLock otherInstance;
    ASSERT_TRUE(otherInstance.TryLock());
    EXPECT_EQ(Run({}), 11);
    EXPECT_TRUE(boxes_.Requests().empty());
}

TEST_F(ApplicationTest, ADataFolderThatCannotBeWrittenGivesOneMessageAndExitCode30)
{
    Config::GetInstance().Load(); // completes config.dat, which start-up then only reads
    const support::ScopedNoPermissionOverride asEveryone;
    fs::permissions(env_.DataFolder(), fs::owner_read | fs::owner_exe);
    // A second end asked for while the box is open changes nothing.
    boxes_.WhileOpen([] {
        std::raise(SIGTERM);
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(Run({}, [] { std::raise(SIGTERM); }), 30);
    EXPECT_EQ(boxes_.Texts(), QStringList{Box(116)});
    fs::permissions(env_.DataFolder(), fs::owner_all);
}

TEST_F(ApplicationTest, InstallModeLeavesADataFileThatCannotBeLoadedWhereItIsAndSavesNothing)
{
    std::ofstream(env_.DataFile()) << "not a data file";
    EXPECT_EQ(Run({"-i", "--host", "127.0.0.1", "--uname", "Ada", "--uid", "ada", "--upass", "s3cret"}), 10);
    EXPECT_EQ(boxes_.Texts(), QStringList{Box(175)});
    EXPECT_EQ(support::ReadFile(env_.DataFile()), "not a data file");
    for (const fs::path& entry : fs::directory_iterator(env_.DataFolder()))
        EXPECT_EQ(entry.filename().string().rfind("unreadable-", 0), std::string::npos) << "kept aside";
}

TEST_F(ApplicationTest, InstallModeThatCannotSaveShowsOneMessageAndEndsWith30)
{
    Config::GetInstance().Load();
    const support::ScopedSearchOptions search(support::NowhereTarget());
    const support::ScopedEnv unattended("NOCTAVI_INSTALL_SHEET_OK", "1");
    const support::ScopedNoPermissionOverride asEveryone;
    fs::permissions(env_.DataFolder(), fs::owner_read | fs::owner_exe);
    EXPECT_EQ(Run({"-i", "--host", "127.0.0.1", "--mname", "Copier", "--uname", "Ada", "--uid", "ada"}), 30);
    EXPECT_EQ(boxes_.Texts(), QStringList{Box(116)});
    fs::permissions(env_.DataFolder(), fs::owner_all);
    EXPECT_FALSE(fs::exists(env_.DataFile()));
}

} // namespace
