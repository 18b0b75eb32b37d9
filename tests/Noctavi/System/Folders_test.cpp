#include <Noctavi/System/Folders.h>
#include <Noctavi/System/SystemError.h>

#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

namespace fs = boost::filesystem;

TEST(Folders, DataFolderFollowsTheBaseDirectoryConvention)
{
    const support::ScopedEnv home("HOME", "/home/someone");
    {
        const support::ScopedEnv data("XDG_DATA_HOME", "/x");
        EXPECT_EQ(System::GetLocalAppDataDir(), L"/x/");
        EXPECT_EQ(System::GetDataFolder(), L"/x/Hollvik/Noctavi/");
    }
    {
        const support::ScopedEnv data("XDG_DATA_HOME", "/x/");
        EXPECT_EQ(System::GetDataFolder(), L"/x/Hollvik/Noctavi/");
    }
    for (const std::optional<std::string>& ignored : {std::optional<std::string>(), std::optional<std::string>(""),
                                                       std::optional<std::string>("relative/data")}) {
        const support::ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(System::GetDataFolder(), L"/home/someone/.local/share/Hollvik/Noctavi/");
    }
    EXPECT_EQ(System::GetPersonalDir(), L"/home/someone/");
}

TEST(Folders, HomeFallsBackToTheAccount)
{
    const support::ScopedEnv home("HOME", std::nullopt);
    const std::wstring personal = System::GetPersonalDir();
    ASSERT_FALSE(personal.empty());
    EXPECT_EQ(personal.front(), L'/');
    EXPECT_EQ(personal.back(), L'/');
}

TEST(Folders, TempDirComesFromTmpdir)
{
    {
        const support::ScopedEnv tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(System::GetTempDir(), L"/var/tmp/");
    }
    const support::ScopedEnv tmp("TMPDIR", std::nullopt);
    EXPECT_EQ(System::GetTempDir(), L"/tmp/");
}

class TempFolder : public ::testing::Test {
protected:
    fs::path OwnFolder() const { return dir_.Path() / ("Hollvik-" + std::to_string(getuid())); }

    support::TempDir dir_;
    support::ScopedEnv tmp_{"TMPDIR", dir_.Path().string()};
};

TEST_F(TempFolder, IsCreatedPrivateToTheUser)
{
    const std::wstring expected = fs::path(OwnFolder() / "Noctavi/").wstring();
    EXPECT_EQ(System::GetTempFolder(), expected);
    EXPECT_EQ(System::GetTempFolder(), expected);
    EXPECT_TRUE(fs::is_directory(OwnFolder() / "Noctavi"));
    EXPECT_EQ(fs::status(OwnFolder()).permissions() & 077, 0);
    EXPECT_EQ(fs::status(OwnFolder() / "Noctavi").permissions() & 077, 0);
}

TEST_F(TempFolder, OpenFolderIsMadePrivate)
{
    fs::create_directory(OwnFolder());
    fs::permissions(OwnFolder(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exe);
    System::GetTempFolder();
    EXPECT_EQ(fs::status(OwnFolder()).permissions() & 077, 0);
}

TEST_F(TempFolder, LinkOrForeignFolderIsRefused)
{
    fs::create_directory(dir_.Path() / "elsewhere");
    fs::create_directory_symlink(dir_.Path() / "elsewhere", OwnFolder());
    EXPECT_THROW(System::GetTempFolder(), SystemError);
    EXPECT_FALSE(fs::exists(dir_.Path() / "elsewhere" / "Noctavi"));

    fs::remove(OwnFolder());
    fs::create_directory(OwnFolder());
    if (getuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_EQ(lchown(OwnFolder().c_str(), 12345, static_cast<gid_t>(-1)), 0);
    EXPECT_THROW(System::GetTempFolder(), SystemError);
}

TEST_F(TempFolder, LinkPlantedInsideAnOpenFolderIsRefused)
{
    fs::create_directory(OwnFolder());
    fs::permissions(OwnFolder(), fs::perms::all_all);
    fs::create_directory(dir_.Path() / "planted");
    fs::create_directory_symlink(dir_.Path() / "planted", OwnFolder() / "Noctavi");
    EXPECT_THROW(System::GetTempFolder(), SystemError);
}

} // namespace
