#include <Noctavi/System/InstanceLock.h>

#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

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
    for (const char* unusable : {"", "relative/run"}) {
        const support::ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::string(unusable));
        EXPECT_EQ(System::InstanceLock::GetPath(), folder.Folder() + "Hollvik-" + std::to_string(getuid()) +
                                                       "/Noctavi/HollvikNoctavi.lock");
    }
}

} // namespace
