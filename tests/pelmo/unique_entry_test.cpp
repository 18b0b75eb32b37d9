#include <pelmo/filesystem/unique_entry.hpp>

#include <support/ReadFile.h>
#include <support/TempDir.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = boost::filesystem;
namespace pt = boost::posix_time;

// 9:05:07.000123 on 9 December 2008.
const pt::ptime kTime(boost::gregorian::date(2008, 12, 9), pt::time_duration(9, 5, 7) + pt::microseconds(123));

TEST(UniqueDirectory, NamesAreStampedAndCountedUp)
{
    const support::TempDir dir;
    const std::string base = (dir.Path() / "missing" / "base").string();

    const auto first = pelmo::filesystem::create_unique_directory(base, "pre", kTime);
    const auto second = pelmo::filesystem::create_unique_directory(base, "pre", kTime);
    EXPECT_EQ(first->filename().string(), "pre20081209957123" "00000000");
    EXPECT_EQ(second->filename().string(), "pre20081209957123" "00000001");
    EXPECT_EQ(first->parent_path().string(), base);
    EXPECT_TRUE(fs::is_directory(*first));
    EXPECT_TRUE(fs::is_empty(*first));
    EXPECT_EQ(fs::status(*first).permissions() & 077, 0);
    EXPECT_EQ(fs::status(base).permissions() & 077, 0);
}

TEST(UniqueDirectory, TakenNamesAreSkippedNotReused)
{
    const support::TempDir dir;
    const std::string stem = "20081209957123";
    fs::create_directory(dir.Path() / (stem + "00000000"));
    std::ofstream((dir.Path() / (stem + "00000001")).string()) << "a file";
    fs::create_directory(dir.Path() / (stem + "00000009"));

    const auto created = pelmo::filesystem::create_unique_directory(dir.Path().string(), "", kTime);
    EXPECT_EQ(created->filename().string(), stem + "00000002");
}

TEST(UniqueDirectory, CounterIsUpperCaseHexadecimal)
{
    const support::TempDir dir;
    for (int i = 0; i < 11; ++i)
        pelmo::filesystem::create_unique_directory(dir.Path().string(), "x", kTime);
    EXPECT_TRUE(fs::is_directory(dir.Path() / "x20081209957123" "0000000A"));
}

TEST(UniqueDirectory, ClockStampIsAllDigits)
{
    const support::TempDir dir;
    const std::string name = pelmo::filesystem::create_unique_directory(dir.Path().string(), "p")->filename().string();
    ASSERT_GE(name.size(), 1u + 8 + 4 + 8) << name;
    EXPECT_EQ(name.front(), 'p');
    EXPECT_EQ(name.find_first_not_of("0123456789", 1), std::string::npos) << name;
}

// Only folders of the form that have not changed for longer than the age go,
// with what they hold; a link or a file of that name does not.
TEST(UniqueDirectory, FoldersOlderThanTheAgeAreRemoved)
{
    const support::TempDir dir;
    const std::string base = dir.Path().string();
    const std::time_t twoDaysAgo = std::time(nullptr) - 2 * 24 * 3600;
    const auto old = pelmo::filesystem::create_unique_directory(base, "", kTime);
    std::ofstream((*old / "prev.pdf").string()) << "scan";
    const auto young = pelmo::filesystem::create_unique_directory(base, "", kTime);
    const auto otherPrefix = pelmo::filesystem::create_unique_directory(base, "unreadable-", kTime);
    fs::create_directory_symlink(*otherPrefix, dir.Path() / "20081209957123000000AA");
    std::ofstream((dir.Path() / "20081209957123000000AB").string()) << "a file";
    for (const fs::path& aged : {*old, *otherPrefix, dir.Path() / "20081209957123000000AB"})
        fs::last_write_time(aged, twoDaysAgo);

    pelmo::filesystem::remove_unique_directories_older_than(base, "", std::chrono::hours(24));
    EXPECT_EQ(support::FileNames(dir.Path()),
              (std::set<std::string>{young->filename().string(), otherPrefix->filename().string(),
                                     "20081209957123000000AA", "20081209957123000000AB"}));
}

} // namespace
