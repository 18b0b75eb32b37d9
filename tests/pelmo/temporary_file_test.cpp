#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/temporary_file.hpp>
#include <pelmo/system_error.hpp>

#include <support/ReadFile.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

namespace {

namespace fs = boost::filesystem;

// A folder that can be written but not opened cannot be synced, so the failure
// shows that the commit syncs the folder after its rename.
TEST(TemporaryFile, CommitSyncsTheFolderAfterTheRename)
{
    support::TempDir dir;
    const fs::path target = dir.Path() / "file";
    pelmo::filesystem::temporary_file temporary(dir.Path() / "file.tmp");
    pelmo::filesystem::write_file_synced(temporary.path(), "new");
    fs::permissions(dir.Path(), fs::owner_write | fs::owner_exe);
    {
        support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_THROW(temporary.commit_to(target), pelmo::system_error);
    }
    fs::permissions(dir.Path(), fs::owner_all);
    EXPECT_EQ(support::ReadFile(target), "new");
    EXPECT_FALSE(fs::exists(temporary.path()));
}

} // namespace
