#include <pelmo/filesystem/unique_entry.hpp>

#include <support/TempDir.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <fstream>

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

} // namespace
