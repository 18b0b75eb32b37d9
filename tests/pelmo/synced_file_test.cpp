#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/synced_file.hpp>
#include <pelmo/system_error.hpp>

#include <support/ReadFile.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = boost::filesystem;

// A folder that can be written but not opened cannot be synced, so the failure
// shows that the commit syncs the folder after its rename.
TEST(SyncedFile, CommitSyncsTheFolderAfterTheRename)
{
    support::TempDir dir;
    const fs::path target = dir.Path() / "file";
    pelmo::filesystem::synced_file file(target);
    file.write("new", 3);
    EXPECT_TRUE(std::regex_match(file.path().filename().string(), std::regex(R"(file\.tmp-[A-Za-z0-9]{6})")));
    EXPECT_EQ(fs::status(file.path()).permissions(), fs::owner_read | fs::owner_write);
    fs::permissions(dir.Path(), fs::owner_write | fs::owner_exe);
    {
        support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_THROW(file.commit(), pelmo::system_error);
    }
    fs::permissions(dir.Path(), fs::owner_all);
    EXPECT_EQ(support::ReadFile(target), "new");
    EXPECT_EQ(support::FileNames(dir.Path()), std::set<std::string>{"file"});
}

// In a folder that others can write, what they planted under the names that
// saves used to write through is neither followed nor removed.
TEST(SyncedFile, CopyNeverWritesThroughAPlantedLink)
{
    support::TempDir dir;
    const fs::path victim = dir.Path() / "victim";
    pelmo::filesystem::write_file_synced(victim, "precious");
    pelmo::filesystem::write_file_synced(dir.Path() / "source", "document");
    fs::create_symlink(victim, dir.Path() / "doc.pdf.tmp");

    pelmo::filesystem::replace_with_copy(dir.Path() / "source", dir.Path() / "doc.pdf");
    EXPECT_EQ(support::ReadFile(dir.Path() / "doc.pdf"), "document");
    EXPECT_EQ(support::ReadFile(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "doc.pdf.tmp"));
    EXPECT_EQ(support::FileNames(dir.Path()), (std::set<std::string>{"doc.pdf", "doc.pdf.tmp", "source", "victim"}));
}

} // namespace
