#include <pelmo/config/config.hpp>
#include <pelmo/config/config_converter.hpp>
#include <pelmo/convertible_version.hpp>
#include <pelmo/defective_config.hpp>
#include <pelmo/logic_error.hpp>
#include <pelmo/nonsupport_version.hpp>
#include <pelmo/open_file_failure.hpp>

#include <support/Fifo.h>
#include <support/ReadFile.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>
#include <boost/program_options/errors.hpp>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <locale>
#include <set>
#include <string>

namespace {

namespace fs = boost::filesystem;

const char* const kDefaults = "ALPHA = 1\nBETA = two words\nGAMMA = 0.5\nVERSION = 1.00\n";

// Renames OLD_NAME to ALPHA, as a file of version 0.5 would need.
class RenameOldName : public pelmo::config_converter {
public:
    void convert(std::map<std::string, std::string>& values) const override
    {
        values["ALPHA"] = values["OLD_NAME"];
        values.erase("OLD_NAME");
    }
};

class TestConfig : public pelmo::config<std::string> {
public:
    explicit TestConfig(fs::path file) : file_(std::move(file)) {}

private:
    void define_all() override
    {
        set_path(file_.string());
        define_version(1.0);
        define("GAMMA", "0.5");
        define("ALPHA", "1");
        define("BETA", "two words");
        define("ALPHA", "a second default is ignored");
        register_converter(0.5, boost::make_shared<RenameOldName>());
    }

    fs::path file_;
};

void WriteFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file.string()) << text;
}

// A locale whose numbers use a decimal comma, as many users' do.
struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

class ConfigFile : public ::testing::Test {
protected:
    fs::path File() const { return dir_.Path() / "sub" / "config.dat"; }
    fs::path Sibling(const char* extension) const { return fs::path(File()).replace_extension(extension); }

    // Writes the text as the file and loads it.
    template <class Expected>
    void LoadExpecting(const std::string& text)
    {
        fs::create_directories(File().parent_path());
        WriteFile(File(), text);
        EXPECT_THROW(config_.load(), Expected) << text;
    }

    support::TempDir dir_;
    TestConfig config_{File()};
};

TEST_F(ConfigFile, MissingFileIsWrittenWithDefaultsInClassicFormat)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    EXPECT_NO_THROW(config_.load());
    std::locale::global(previous);

    EXPECT_EQ(support::ReadFile(File()), kDefaults);
    EXPECT_EQ(config_.get("ALPHA"), "1");
    EXPECT_EQ(config_.get("VERSION"), "1.00");
    EXPECT_FALSE(fs::exists(Sibling(".tmp")));
    EXPECT_EQ(fs::status(File().parent_path()).permissions() & 077, 0);
}

TEST_F(ConfigFile, ParsesTheLineSyntax)
{
    fs::create_directories(File().parent_path());
    WriteFile(File(),
              "# a comment line\n\n"
              "ALPHA = first\n"
              "  BETA=a=b  \n"
              "GAMMA = kept # cut here\n"
              "UNKNOWN = dropped\n"
              "VERSION = 1\n"
              "ALPHA = last wins\n");
    EXPECT_NO_THROW(config_.load());
    EXPECT_EQ(config_.get("ALPHA"), "last wins");
    EXPECT_EQ(config_.get("BETA"), "a=b");
    EXPECT_EQ(config_.get("GAMMA"), "kept");
    EXPECT_EQ(config_.get("VERSION"), "1.00");
    EXPECT_THROW(config_.get("UNKNOWN"), pelmo::logic_error);

    config_.save(false);
    EXPECT_EQ(support::ReadFile(File()), "ALPHA = last wins\nBETA = a=b\nGAMMA = kept\nVERSION = 1.00\n");
}

TEST_F(ConfigFile, VersionTextsOfTheCurrentVersion)
{
    for (const char* version : {"1", "1.0", "1.00", "1.00 and words"}) {
        fs::create_directories(File().parent_path());
        WriteFile(File(), std::string("ALPHA = 7\nBETA = b\nGAMMA = g\nVERSION = ") + version + "\n");
        EXPECT_NO_THROW(config_.load()) << version;
        EXPECT_EQ(config_.get("ALPHA"), "7");
    }
}

TEST_F(ConfigFile, UnsupportedVersionsLeaveTheDefaults)
{
    LoadExpecting<pelmo::nonsupport_version>("ALPHA = 7\nBETA = b\nGAMMA = g\nVERSION = 2.00\n");
    EXPECT_EQ(config_.get("ALPHA"), "1");
    LoadExpecting<pelmo::nonsupport_version>("ALPHA = 7\nBETA = b\nGAMMA = g\n");
    EXPECT_EQ(config_.get("ALPHA"), "1");
    LoadExpecting<pelmo::nonsupport_version>("ALPHA = 7\nVERSION = one\n");
    EXPECT_EQ(config_.get("ALPHA"), "1");
}

TEST_F(ConfigFile, OlderVersionIsConvertedAndReported)
{
    LoadExpecting<pelmo::convertible_version>("OLD_NAME = 9\nBETA = b\nGAMMA = g\nVERSION = 0.50\n");
    EXPECT_EQ(config_.get("ALPHA"), "9");
    EXPECT_EQ(config_.get("VERSION"), "1.00");
}

TEST_F(ConfigFile, DefectiveFileIsMergedAndRewrittenWithBackup)
{
    const std::string old = "ALPHA = 7\nVERSION = 1.00\n";
    LoadExpecting<pelmo::defective_config>(old);
    EXPECT_EQ(config_.get("ALPHA"), "7");
    EXPECT_EQ(config_.get("BETA"), "two words");

    config_.save(true);
    EXPECT_EQ(support::ReadFile(Sibling(".bak")), old);
    EXPECT_EQ(support::ReadFile(File()), "ALPHA = 7\nBETA = two words\nGAMMA = 0.5\nVERSION = 1.00\n");

    config_.remove_files();
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_FALSE(fs::exists(Sibling(".bak")));
    EXPECT_NO_THROW(config_.remove_files());
}

TEST_F(ConfigFile, SyntaxErrorLeavesTheValuesUnchanged)
{
    config_.load();
    LoadExpecting<boost::program_options::invalid_config_file_syntax>("ALPHA = 7\nno equals sign\nVERSION = 1\n");
    EXPECT_EQ(config_.get("ALPHA"), "1");
}

TEST_F(ConfigFile, FailedSaveKeepsThePreviousFile)
{
    config_.load();
    config_.get("ALPHA") = "changed";
    fs::permissions(File().parent_path(), fs::owner_read | fs::owner_exe);
    {
        support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_THROW(config_.save(true), pelmo::open_file_failure);
    }
    fs::permissions(File().parent_path(), fs::owner_all);
    EXPECT_EQ(support::ReadFile(File()), kDefaults);
    EXPECT_EQ(support::FileNames(File().parent_path()), std::set<std::string>{"config.dat"});

    config_.save(false);
    EXPECT_EQ(config_.get("ALPHA"), "changed");
    EXPECT_NE(support::ReadFile(File()).find("ALPHA = changed\n"), std::string::npos);
}

TEST_F(ConfigFile, LoadRemovesTheLeftoversOfInterruptedSaves)
{
    config_.load();
    const fs::path folder = File().parent_path();
    for (const char* name : {"config.tmp", "config.bak.tmp", "config.dat.tmp-aB3xYz", "config.bak.tmp-000000",
                             "data.dat.tmp"})
        WriteFile(folder / name, "partial");
    config_.load();
    EXPECT_EQ(support::FileNames(folder), (std::set<std::string>{"config.dat", "data.dat.tmp"}));
}

TEST_F(ConfigFile, UnreadableFileFailsToOpen)
{
    fs::create_directories(File());
    EXPECT_THROW(config_.load(), pelmo::open_file_failure);
    EXPECT_THROW(config_.get("ALPHA"), pelmo::logic_error);

    fs::remove(File());
    support::MakeFifo(File());
    EXPECT_THROW(support::RunUnblocked(File(), [&] { config_.load(); }), pelmo::open_file_failure);
}

// A kill at any moment must leave a whole backup: the old one is replaced in
// one step, never emptied and refilled in place.
TEST_F(ConfigFile, BackupIsReplacedInOneStep)
{
    config_.load();
    config_.save(true);
    std::ifstream previousBackup(Sibling(".bak").string());
    config_.get("ALPHA") = "changed";
    config_.save(true);
    config_.save(true);

    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previousBackup), {}), kDefaults);
    EXPECT_NE(support::ReadFile(Sibling(".bak")).find("ALPHA = changed\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(fs::path(Sibling(".bak").string() + ".tmp")));
}

} // namespace
