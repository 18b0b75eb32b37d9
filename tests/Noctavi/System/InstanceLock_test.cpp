#include <Noctavi/System/InstanceLock.h>

#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <initializer_list>
#include <unistd.h>

namespace {

namespace fs = boost::filesystem;

TEST(InstanceLock, OneHolderAtATimeInTheRuntimeFolderElseInThePrivateTemporaryFolder)
{
    const support::TempDir folder;
    const support::ScopedEnv runtime("XDG_RUNTIME_DIR", folder.Path().string());
    System::InstanceLock first;
    System::InstanceLock second;
    EXPECT_TRUE(first.TryLock());
    EXPECT_TRUE(first.TryLock()) << "held already";
    EXPECT_FALSE(second.TryLock());
    first.Unlock();
    EXPECT_TRUE(second.TryLock());
    EXPECT_EQ(System::InstanceLock::GetPath(), (folder.Path() / "HollvikNoctavi.lock").string());
    EXPECT_EQ(fs::status(System::InstanceLock::GetPath()).permissions(), fs::owner_read | fs::owner_write);

    const support::ScopedEnv temporary("TMPDIR", folder.Path().string());
    // Another user could plant a lock and a channel in a folder open to them.
    const fs::path groupWritable = folder.Path() / "group", open = folder.Path() / "open";
    fs::create_directory(groupWritable);
    fs::permissions(groupWritable, fs::owner_all | fs::group_write);
    fs::create_directory(open);
    fs::permissions(open, fs::owner_all | fs::others_write);
    fs::create_directory_symlink(folder.Path(), folder.Path() / "link");
    for (const std::string& unusable :
         std::initializer_list<std::string>{"", "relative/run", "/no/such/folder", groupWritable.string(),
                                            open.string(), (folder.Path() / "link").string()}) {
        const support::ScopedEnv noRuntime("XDG_RUNTIME_DIR", unusable);
        EXPECT_EQ(System::InstanceLock::GetPath(), folder.Folder() + "Hollvik-" + std::to_string(getuid()) +
                                                       "/Noctavi/HollvikNoctavi.lock");
    }
}

} // namespace
