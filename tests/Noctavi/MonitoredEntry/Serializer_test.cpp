#include "ModelValues.h"

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/Config.h>

#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = boost::filesystem;
using MonitoredEntry::Entry;
using MonitoredEntry::EntryDB;
using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using MonitoredEntry::Event;
using MonitoredEntry::EventLog;
using MonitoredEntry::EventProperty;
using MonitoredEntry::MFP;
using MonitoredEntry::Password;
using MonitoredEntry::User;
using EntryConfig = MonitoredEntry::Config;
using ID = BasicID<long>;

const char kTime[] = "Tue, 09 Dec 2008 10:15:30 +0900";

Event MakeEvent(int id, const std::wstring& info, bool read, const boost::optional<std::wstring>& thumbNail,
                const boost::optional<std::wstring>& docID)
{
    Event event(ID(id), EventProperty(L"Box", info, thumbNail, docID, RSS::EventTime(kTime)));
    event.SetRead(read);
    return event;
}

// Two entries that between them hold every kind of value the file keeps,
// optional ones present and absent, with text that XML and UTF-8 must carry.
EntryDB::EntryList RichEntries()
{
    const std::wstring awkward = L"Ünïcødé 日本 \U0001F600 <&>\"'";
    EntryProperty first(true, MFP(awkward, L"printer.example", 80, 443, true),
                        User(std::wstring(L"Ålice"), L"alice", Password(L"s3cret-Pass")),
                        EntryConfig(25, 1800000, true, 10000, false, true));
    first.SetStatus(EntryProperty::StatusSubscribed);
    first.SetStatusDetail(EntryProperty::RequestFailed);
    auto withLog = boost::make_shared<Entry>(ID(4), first);
    const EventLog::EventList events = {
        MakeEvent(7, awkward, true, std::wstring(L"/thumb?a=1&b=<2>"), std::wstring(L"DOC-7")),
        MakeEvent(9, L"fax", false, boost::none, boost::none),
        MakeEvent(12, L"scan", false, std::wstring(), std::wstring(L"DOC-12"))};
    withLog->SetEventLog(boost::make_shared<EventLog>(events, ID(13), 25));
    withLog->SetLatestRSSFeed(RSS::RSSFeed(
        "Feed \xC3\xA9 <&>", "http://printer.example/rss?a=1&b=2", kTime,
        {RSS::Item("title \xE6\x97\xA5", "http://printer.example/doc?id=7", "Box", "guid-7", kTime),
         RSS::Item("", "", "Fax", "guid-9", kTime)}));

    const EntryProperty second(false, MFP(boost::none, L"10.0.0.2", boost::none, 8443, true),
                               User(boost::none, L"bob", Password()), EntryConfig(1, 60000, false, 0, true, false));
    return {withLog, boost::make_shared<Entry>(ID(6), second)};
}

void ExpectSameConfig(const EntryConfig& expected, const EntryConfig& actual)
{
    EXPECT_EQ(expected.GetLogMax(), actual.GetLogMax());
    EXPECT_EQ(expected.GetInterval(), actual.GetInterval());
    EXPECT_EQ(expected.GetNotice(), actual.GetNotice());
    EXPECT_EQ(expected.GetEraseTime(), actual.GetEraseTime());
    EXPECT_EQ(expected.GetEventRead(), actual.GetEventRead());
    EXPECT_EQ(expected.GetDeleteMsg(), actual.GetDeleteMsg());
}

void ExpectSameFeed(const boost::optional<RSS::RSSFeed>& expected, const boost::optional<RSS::RSSFeed>& actual)
{
    ASSERT_EQ(expected.has_value(), actual.has_value());
    if (!expected)
        return;
    EXPECT_EQ(expected->GetTitle(), actual->GetTitle());
    EXPECT_EQ(expected->GetLink(), actual->GetLink());
    EXPECT_EQ(expected->GetDate(), actual->GetDate());
    ASSERT_EQ(expected->GetItemList().size(), actual->GetItemList().size());
    for (std::size_t i = 0; i < expected->GetItemList().size(); ++i) {
        const RSS::Item& a = expected->GetItemList()[i];
        const RSS::Item& b = actual->GetItemList()[i];
        EXPECT_EQ(a.GetTitle(), b.GetTitle());
        EXPECT_EQ(a.GetDescription(), b.GetDescription());
        EXPECT_EQ(a.GetCategory(), b.GetCategory());
        EXPECT_EQ(a.GetGuid(), b.GetGuid());
        EXPECT_EQ(a.GetPub(), b.GetPub());
    }
}

void ExpectSameLog(const EventLog& expected, const EventLog& actual)
{
    EXPECT_EQ(expected.GetNextID(), actual.GetNextID());
    EXPECT_EQ(expected.GetMax(), actual.GetMax());
    ASSERT_EQ(expected.Size(), actual.Size());
    for (std::size_t i = 0; i < expected.Size(); ++i) {
        const Event& a = expected.GetEventList()[i];
        const Event& b = actual.GetEventList()[i];
        EXPECT_EQ(a.GetID(), b.GetID());
        EXPECT_EQ(a.IsRead(), b.IsRead());
        EXPECT_EQ(a.GetProperty(), b.GetProperty());
        EXPECT_EQ(a.GetProperty().GetTime().GetString(), b.GetProperty().GetTime().GetString());
    }
}

// Everything the file keeps is equal; the loaded status is "nothing reported".
void ExpectLoadedAsSaved(const EntryDB::EntryList& saved, const EntryDB& loaded)
{
    ASSERT_EQ(saved.size(), loaded.Size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const Entry& a = *saved[i];
        const Entry& b = *loaded.GetEntryList()[i];
        SCOPED_TRACE(a.GetID().GetValue());
        EXPECT_EQ(a.GetID(), b.GetID());
        EXPECT_EQ(a.GetProperty().GetMonitoring(), b.GetProperty().GetMonitoring());
        EXPECT_EQ(a.GetProperty().GetMFP(), b.GetProperty().GetMFP());
        EXPECT_EQ(a.GetProperty().GetUser(), b.GetProperty().GetUser());
        ExpectSameConfig(a.GetProperty().GetConfig(), b.GetProperty().GetConfig());
        EXPECT_EQ(b.GetProperty().GetStatus(), EntryProperty::StatusNotReported);
        EXPECT_EQ(b.GetProperty().GetStatusDetail(), EntryProperty::RequestSucceeded);
        ExpectSameLog(*a.GetSharedEventLog(), *b.GetSharedEventLog());
        ExpectSameFeed(a.GetLatestRSSFeed(), b.GetLatestRSSFeed());
    }
}

std::string Replace(const std::string& text, const std::string& pattern, const std::string& replacement)
{
    return std::regex_replace(text, std::regex(pattern), replacement, std::regex_constants::format_first_only);
}

class SerializerTest : public ::testing::Test {
protected:
    fs::path Folder() const { return dir_.Path() / "Hollvik" / "Noctavi"; }
    fs::path DataFile() const { return Folder() / "data.dat"; }
    fs::path Backup() const { return Folder() / "data.dat.bak"; }
    EntryDB& Table() { return serializer_.GetEntryManager().GetEntryDB(); }

    void SaveModel(ID nextID, const EntryDB::EntryList& entries)
    {
        Table().Restore(nextID, entries);
        serializer_.Save();
    }

    void WriteDataFile(const std::string& bytes) { std::ofstream(DataFile().string(), std::ios::binary) << bytes; }

    // The folders that failed loads were kept aside in.
    std::vector<fs::path> KeptAside() const
    {
        std::vector<fs::path> folders;
        for (const fs::directory_entry& entry : fs::directory_iterator(Folder())) {
            if (entry.path().filename().string().rfind("unreadable-", 0) == 0)
                folders.push_back(entry.path());
        }
        return folders;
    }

    support::TempDir dir_;
    support::ScopedEnv dataHome_{"XDG_DATA_HOME", dir_.Path().string()};
    Serializer serializer_;
};

TEST_F(SerializerTest, RichModelRoundTripsWithStatusResetAndPasswordEnciphered)
{
    const EntryDB::EntryList entries = RichEntries();
    SaveModel(ID(20), entries);

    EXPECT_EQ(fs::status(Folder()).permissions(), fs::owner_all);
    EXPECT_EQ(fs::status(DataFile()).permissions(), fs::owner_read | fs::owner_write);
    EXPECT_FALSE(fs::exists(Folder() / "data.dat.tmp"));
    const std::string file = support::ReadFile(DataFile());
    EXPECT_NE(file.find("<Noctavi class_id="), std::string::npos);
    EXPECT_EQ(file.find("s3cret-Pass"), std::string::npos);
    EXPECT_EQ(file.find("Status"), std::string::npos);

    Serializer loader;
    loader.Load();
    EXPECT_EQ(loader.GetEntryManager().GetEntryDB().GetNextID(), ID(20));
    ExpectLoadedAsSaved(entries, loader.GetEntryManager().GetEntryDB());
    EXPECT_EQ(loader.GetEntryManager().GetEntryDB().GetEntryList()[0]->GetProperty().GetUser().GetPassword().GetText(),
              L"s3cret-Pass");
    EXPECT_EQ(support::ReadFile(Backup()), file);

    // A second save of what was loaded writes the same bytes.
    loader.Save();
    EXPECT_EQ(support::ReadFile(DataFile()), file);
}

// Saving copies only the list of entries under the model lock; what it writes
// afterwards must be whole while a writer keeps replacing the entry.
TEST_F(SerializerTest, SavesWhileTheModelChangesAreWhole)
{
    EntryManager& manager = serializer_.GetEntryManager();
    ID id;
    {
        EntryManager::Transaction transaction(manager);
        id = transaction.Append(testvalues::Property(L"printer.example"));
        transaction.Commit();
    }
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int n = 0; n < 200; ++n) {
            EntryManager::Transaction transaction(manager);
            const auto entry = transaction.GetEntryDB().CloneEntry(id);
            const auto log = entry->GetEventLog();
            log->Append(testvalues::Event(L"event " + std::to_wstring(n)));
            entry->SetEventLog(log);
            transaction.SetEntry(entry);
            transaction.Commit();
        }
        done = true;
    });
    do {
        serializer_.Save();
        Serializer reader;
        EXPECT_NO_THROW(reader.Load());
        EXPECT_EQ(reader.GetEntryManager().GetEntryDB().Size(), 1u);
    } while (!done);
    writer.join();

    serializer_.Save();
    serializer_.Load();
    EXPECT_EQ(Table().GetEntry(id).GetSharedEventLog()->GetNextID(), ID(200));
}

TEST_F(SerializerTest, AbsentFileGivesAnEmptyModelAndAnEmptyModelKeepsItsCounter)
{
    SaveModel(ID(3), RichEntries());
    fs::remove(DataFile());
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
    EXPECT_EQ(Table().GetNextID(), ID(0));
    EXPECT_FALSE(fs::exists(Backup()));

    SaveModel(ID(42), {});
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
    EXPECT_EQ(Table().GetNextID(), ID(42));
}

TEST_F(SerializerTest, FileWithoutNewerSettingsTakesTheDefaultsAndIsSavedWithAllSix)
{
    Config::GetInstance().Load();
    std::ofstream(Folder().string() + "/config.dat", std::ios::app)
        << "POPUP_EVENT_ERASE_INTERVAL_MS = 4321\nENTRY_DEFAULT_ENABLE_EVENT_READ = 1\n"
           "ENTRY_DEFAULT_ENABLE_DELETE_MSG = 0\n";
    Config::GetInstance().Load();

    const EntryDB::EntryList entries = RichEntries();
    SaveModel(ID(20), entries);
    const std::regex newer(R"(\s*<(EraseTime|EventRead|DeleteMsg)>[^<]*</\1>)");
    WriteDataFile(std::regex_replace(support::ReadFile(DataFile()), newer, ""));

    serializer_.Load();
    ASSERT_EQ(Table().Size(), entries.size());
    for (const Entry& entry : Table()) {
        const EntryConfig& config = entry.GetProperty().GetConfig();
        EXPECT_EQ(config.GetEraseTime(), 4321);
        EXPECT_TRUE(config.GetEventRead());
        EXPECT_FALSE(config.GetDeleteMsg());
    }
    EXPECT_EQ(Table().GetEntryList()[0]->GetProperty().GetConfig().GetLogMax(), 25);
    EXPECT_TRUE(KeptAside().empty());

    serializer_.Save();
    const std::string file = support::ReadFile(DataFile());
    EXPECT_EQ(std::distance(std::sregex_iterator(file.begin(), file.end(), newer), std::sregex_iterator()),
              3 * static_cast<long>(entries.size()));
    serializer_.Load();
    EXPECT_EQ(Table().GetEntryList()[0]->GetProperty().GetConfig().GetEraseTime(), 4321);
}

TEST_F(SerializerTest, ClosingTagIsWrittenButNotNeeded)
{
    const EntryDB::EntryList entries = RichEntries();
    SaveModel(ID(20), entries);
    const std::string file = support::ReadFile(DataFile());
    const std::string closing = "</boost_serialization>\n";
    ASSERT_EQ(file.substr(file.size() - closing.size()), closing);

    for (const std::size_t cut : {closing.size(), closing.size() - 6, std::size_t{1}}) {
        WriteDataFile(file.substr(0, file.size() - cut));
        Serializer loader;
        ASSERT_NO_THROW(loader.Load()) << cut;
        ExpectLoadedAsSaved(entries, loader.GetEntryManager().GetEntryDB());
    }
}

// Shared pointers as written before their class version 1: "px", then "pn"
// holding the counter object, whose "ptr" refers to the entry once more.
TEST_F(SerializerTest, OlderSharedPointerFormLoads)
{
    const EntryDB::EntryList entries = RichEntries();
    SaveModel(ID(20), entries);
    std::string file = support::ReadFile(DataFile());
    file = Replace(file, R"x((<item class_id="\d+" tracking_level="0") version="1")x", "$1 version=\"0\"");
    file = Replace(file, R"x((<px class_id_reference="5") object_id="_7">)x", "$1 object_id=\"_8\">");
    file = Replace(file, "</px>",
                   R"x(</px><pn class_id="30" tracking_level="0" version="0"><pi class_id="31" tracking_level="1" )x"
                   R"x(version="0" object_id="_7"><ptr class_id_reference="5" object_id_reference="_0"></ptr>)x"
                   "</pi></pn>");
    file = Replace(file, R"x(</px>(\s*</item>\s*</EntryList>))x",
                   R"x(</px><pn><pi class_id_reference="31" object_id="_9"><ptr class_id_reference="5" )x"
                   R"x(object_id_reference="_8"></ptr></pi></pn>$1)x");
    WriteDataFile(file);

    serializer_.Load();
    ExpectLoadedAsSaved(entries, Table());
}

TEST_F(SerializerTest, FailedLoadKeepsTheModelTheBackupAndTheFileAside)
{
    SaveModel(ID(20), RichEntries());
    const std::string good = support::ReadFile(DataFile());
    serializer_.Load();
    const EntryManager* loaded = &serializer_.GetEntryManager();

    const std::string garbage = "\x01\x02 not an archive \xFF\xFE";
    WriteDataFile(garbage);
    EXPECT_ANY_THROW(serializer_.Load());
    EXPECT_EQ(&serializer_.GetEntryManager(), loaded);
    EXPECT_EQ(Table().Size(), 2u);
    EXPECT_EQ(support::ReadFile(Backup()), good);
    EXPECT_FALSE(fs::exists(DataFile()));
    const std::vector<fs::path> kept = KeptAside();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(support::ReadFile(kept[0] / "data.dat"), garbage);
    EXPECT_EQ(support::ReadFile(kept[0] / "data.dat.bak"), good);

    // Saving goes on from the model that stayed current.
    serializer_.Save();
    Serializer next;
    next.Load();
    EXPECT_EQ(next.GetEntryManager().GetEntryDB().Size(), 2u);
}

// Files cut short or changed in ways a save never produces: every one throws,
// and nothing is read that the file did not provide.
TEST_F(SerializerTest, DamagedFilesThrowCleanly)
{
    const EntryDB::EntryList entries = RichEntries();
    SaveModel(ID(20), entries);
    serializer_.Load();
    const std::string file = support::ReadFile(DataFile());
    const std::size_t end = file.find("</Noctavi>") + std::string("</Noctavi>").size() - 1;

    std::vector<std::pair<std::string, std::string>> damaged;
    for (std::size_t size = 0; size < end; size += 97)
        damaged.emplace_back("cut at " + std::to_string(size), file.substr(0, size));
    damaged.emplace_back("no root end tag", file.substr(0, end));
    const auto change = [&](const std::string& name, const std::string& pattern, const std::string& replacement) {
        damaged.emplace_back(name, Replace(file, pattern, replacement));
    };
    change("huge byte count", R"x(<Data>(\s*)<count>\d+)x", "<Data>$1<count>99999999999999");
    change("negative entry count", "<count>2</count>", "<count>-1</count>");
    change("null event property", R"x(<Property class_id="(\d+)" tracking_level="1"[^>]*>[\s\S]*?</Property>)x",
           R"x(<Property class_id="-1"></Property>)x");
    change("class id not a number", R"x(<px class_id_reference="\d+")x", R"x(<px class_id_reference="x")x");
    change("null entry", R"x(<px class_id_reference="\d+" object_id="_\d+">[\s\S]*?</px>)x",
           R"x(<px class_id="-1"></px>)x");
    change("same entry twice", R"x(<px class_id_reference="(\d+)" object_id="_\d+">[\s\S]*?</px>)x",
           R"x(<px class_id_reference="$1" object_id_reference="_0"></px>)x");
    change("entries out of order", "<value>6</value>", "<value>4</value>");
    change("event ID twice", "<value>9</value>", "<value>7</value>");
    change("bad event time", "<string>Tue, 09", "<string>Yesterday, 09");
    change("bad flag", "<SSL>1</SSL>", "<SSL>2</SSL>");

    for (const auto& [name, bytes] : damaged) {
        ASSERT_TRUE(bytes != file) << name;
        WriteDataFile(bytes);
        EXPECT_ANY_THROW(serializer_.Load()) << name;
    }
    EXPECT_EQ(KeptAside().size(), damaged.size());
    ExpectLoadedAsSaved(entries, Table());

    // Class numbers from the file never select a class, so wrong ones do no harm.
    for (const std::string number : {"-5", "99"}) {
        const std::string attribute = "class_id_reference=\"" + number + "\"";
        std::string changed = Replace(file, R"x(<px class_id_reference="\d+")x", "<px " + attribute);
        changed = Replace(changed, R"x(<Property class_id_reference="\d+")x", "<Property " + attribute);
        WriteDataFile(changed);
        ASSERT_NO_THROW(serializer_.Load()) << number;
        ExpectLoadedAsSaved(entries, Table());
    }
}

TEST_F(SerializerTest, FailedSaveLeavesThePreviousFileByteForByte)
{
    SaveModel(ID(20), RichEntries());
    const std::string before = support::ReadFile(DataFile());
    Table().Restore(ID(1), {});

    fs::permissions(Folder(), fs::owner_read | fs::owner_exe);
    {
        support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_ANY_THROW(serializer_.Save());
    }
    fs::permissions(Folder(), fs::owner_all);
    EXPECT_EQ(support::ReadFile(DataFile()), before);
    EXPECT_FALSE(fs::exists(Folder() / "data.dat.tmp"));

    // A disk that fills up under the temporary file.
    fs::create_symlink("/dev/full", Folder() / "data.dat.tmp");
    EXPECT_ANY_THROW(serializer_.Save());
    EXPECT_EQ(support::ReadFile(DataFile()), before);
    EXPECT_FALSE(fs::is_symlink(Folder() / "data.dat.tmp"));

    serializer_.Save();
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
}

} // namespace
