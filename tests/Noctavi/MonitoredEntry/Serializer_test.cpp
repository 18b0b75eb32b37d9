#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/InvalidDataFile.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/SystemError.h>

#include <pelmo/system_error.hpp>

#include <support/Fifo.h>
#include <support/ModelValues.h>
#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/ScopedSettings.h>
#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace {

namespace fs = boost::filesystem;
using namespace MonitoredEntry;
using ID = BasicID<long>;

const char kTime[] = "Tue, 09 Dec 2008 10:15:30 +0900";
const std::wstring kAwkward = L"Ünïcødé 日本 \U0001F600 <&>\"'";

Event MakeEvent(int id, const std::wstring& info, bool read, const boost::optional<std::wstring>& thumbNail,
                const boost::optional<std::wstring>& docID)
{
    Event event(ID(id), EventProperty(L"Box", info, thumbNail, docID, RSS::EventTime(kTime)));
    event.SetRead(read);
    return event;
}

// Two entries that between them hold every kind of value the file keeps,
// optional ones present and absent, with text that XML and UTF-8 must carry.
// The first has a subscription status, which is never saved.
EntryDB::EntryList RichEntries()
{
    EntryProperty first(true, MFP(kAwkward, L"printer.example", 80, 443, true),
                        User(std::wstring(L"Ålice"), L"alice", Password(L"s3cret-Pass")),
                        MonitoredEntry::Config(25, 1800000, true, 10000, false, true));
    first.SetStatus(EntryProperty::StatusSubscribed);
    first.SetStatusDetail(EntryProperty::RequestFailed);
    auto withLog = boost::make_shared<Entry>(ID(4), first);
    const EventLog::EventList events = {
        MakeEvent(7, kAwkward, true, std::wstring(L"/thumb?a=1&b=<2>"), std::wstring(L"DOC-7")),
        MakeEvent(9, L"fax", false, boost::none, boost::none),
        MakeEvent(12, L"scan", false, std::wstring(), std::wstring(L"DOC-12"))};
    withLog->SetEventLog(boost::make_shared<EventLog>(events, ID(13), 25));
    withLog->SetLatestRSSFeed(RSS::RSSFeed(
        "Feed \xC3\xA9 <&>", "http://printer.example/rss?a=1&b=2", kTime,
        {RSS::Item("title \xE6\x97\xA5", "http://printer.example/doc?id=7", "Box", "guid-7", kTime),
         RSS::Item("", "", "Fax", "guid-9", kTime)}));

    const EntryProperty second(false, MFP(boost::none, L"10.0.0.2", boost::none, 8443, true),
                               User(boost::none, L"bob", Password()),
                               MonitoredEntry::Config(1, 60000, false, 0, true, false));
    return {withLog, boost::make_shared<Entry>(ID(6), second)};
}

// The rich entries, the second with a machine name of its own.
EntryDB::EntryList WithMachineName(const std::wstring& name)
{
    EntryDB::EntryList entries = RichEntries();
    const auto second = boost::make_shared<Entry>(*entries[1]);
    EntryProperty property = second->GetProperty();
    property.SetMFP(MFP(name, L"10.0.0.2", boost::none, 8443, true));
    second->SetProperty(property);
    entries[1] = second;
    return entries;
}

std::string Replace(const std::string& text, const std::string& pattern, const std::string& replacement)
{
    return std::regex_replace(text, std::regex(pattern), replacement, std::regex_constants::format_first_only);
}

// While it lives, writes past the size fail with EFBIG, as on a full disk.
struct FullDisk {
    explicit FullDisk(rlim_t size)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{size, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    rlimit saved{};
};

class SerializerTest : public ::testing::Test {
protected:
    fs::path Folder() const { return dir_.Path() / "Hollvik" / "Noctavi"; }
    fs::path DataFile() const { return Folder() / "data.dat"; }
    fs::path Backup() const { return Folder() / "data.dat.bak"; }
    EntryDB& Table() { return serializer_.GetEntryManager().GetEntryDB(); }

    // Saves the rich model and gives the file.
    std::string SaveRichModel()
    {
        Table().Restore(ID(20), RichEntries());
        serializer_.Save();
        return support::ReadFile(DataFile());
    }

    // What saving the current model writes. Equal to a file that was loaded
    // exactly when every value in it came back.
    std::string Resaved()
    {
        serializer_.Save();
        return support::ReadFile(DataFile());
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
    const std::string file = SaveRichModel();
    EXPECT_EQ(fs::status(Folder()).permissions(), fs::owner_all);
    EXPECT_EQ(fs::status(DataFile()).permissions(), fs::owner_read | fs::owner_write);
    EXPECT_FALSE(fs::exists(Folder() / "data.dat.tmp"));
    EXPECT_EQ(file.find("s3cret-Pass"), std::string::npos);

    serializer_.Load();
    EXPECT_EQ(support::ReadFile(Backup()), file);
    ASSERT_EQ(Table().Size(), 2u);
    EXPECT_EQ(Table().GetNextID(), ID(20));
    const Entry& first = Table().GetEntry(ID(4));
    EXPECT_EQ(first.GetProperty().GetStatus(), EntryProperty::StatusNotReported);
    EXPECT_EQ(first.GetProperty().GetStatusDetail(), EntryProperty::RequestSucceeded);
    EXPECT_EQ(first.GetProperty().GetMFP().GetName().value_or(L""), kAwkward);
    EXPECT_EQ(first.GetProperty().GetUser().GetPassword().GetText(), L"s3cret-Pass");
    const EventLog& log = *first.GetSharedEventLog();
    EXPECT_EQ(log.GetNextID(), ID(13));
    EXPECT_EQ(log.GetEvent(ID(7)).GetProperty(), RichEntries()[0]->GetSharedEventLog()->GetEvent(ID(7)).GetProperty());
    EXPECT_TRUE(log.GetEvent(ID(7)).IsRead());
    EXPECT_FALSE(log.GetEvent(ID(9)).IsRead());
    EXPECT_EQ(first.GetLatestRSSFeed()->GetItemList()[0].GetTitle(), "title \xE6\x97\xA5");
    EXPECT_FALSE(Table().GetEntry(ID(6)).GetLatestRSSFeed());

    // Everything else in the file came back as well: saving it again writes the same bytes.
    EXPECT_EQ(Resaved(), file);
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
    SaveRichModel();
    fs::remove(DataFile());
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
    EXPECT_EQ(Table().GetNextID(), ID(0));
    EXPECT_FALSE(fs::exists(Backup()));

    Table().Restore(ID(42), {});
    serializer_.Save();
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
    EXPECT_EQ(Table().GetNextID(), ID(42));
}

TEST_F(SerializerTest, FileWithoutNewerSettingsTakesTheDefaultsAndIsSavedWithAllSix)
{
    ::Config::GetInstance().Load();
    std::ofstream(Folder().string() + "/config.dat", std::ios::app)
        << "POPUP_EVENT_ERASE_INTERVAL_MS = 4321\nENTRY_DEFAULT_ENABLE_EVENT_READ = 1\n"
           "ENTRY_DEFAULT_ENABLE_DELETE_MSG = 0\n";
    ::Config::GetInstance().Load();

    const std::regex newer(R"(\s*<(EraseTime|EventRead|DeleteMsg)>[^<]*</\1>)");
    const auto countNewer = [&](const std::string& file) {
        return std::distance(std::sregex_iterator(file.begin(), file.end(), newer), std::sregex_iterator());
    };
    const std::string file = SaveRichModel();
    const std::string older = std::regex_replace(file, newer, "");
    ASSERT_EQ(countNewer(file), 6);
    WriteDataFile(older);

    serializer_.Load();
    ASSERT_EQ(Table().Size(), 2u);
    for (const Entry& entry : Table()) {
        const MonitoredEntry::Config& config = entry.GetProperty().GetConfig();
        EXPECT_EQ(config.GetEraseTime(), 4321);
        EXPECT_TRUE(config.GetEventRead());
        EXPECT_FALSE(config.GetDeleteMsg());
    }
    EXPECT_TRUE(KeptAside().empty());
    const std::string resaved = Resaved();
    EXPECT_EQ(countNewer(resaved), 6);
    EXPECT_EQ(std::regex_replace(resaved, newer, ""), older);
}

TEST_F(SerializerTest, ClosingTagIsWrittenButNotNeeded)
{
    const std::string file = SaveRichModel();
    const std::string closing = "</boost_serialization>\n";
    ASSERT_EQ(file.substr(file.size() - closing.size()), closing);

    for (const std::size_t cut : {closing.size(), closing.size() - 6, std::size_t{1}}) {
        WriteDataFile(file.substr(0, file.size() - cut));
        ASSERT_NO_THROW(serializer_.Load()) << cut;
        EXPECT_EQ(Resaved(), file) << cut;
    }
}

// Shared pointers as written before their class version 1: "px", then "pn"
// holding the counter object, whose "ptr" refers to the entry once more.
TEST_F(SerializerTest, OlderSharedPointerFormLoads)
{
    const std::string file = SaveRichModel();
    std::string older = Replace(file, R"x((<item class_id="\d+" tracking_level="0") version="1")x", "$1 version=\"0\"");
    older = Replace(older, R"x((<px class_id_reference="5") object_id="_7">)x", "$1 object_id=\"_8\">");
    older = Replace(older, "</px>",
                    R"x(</px><pn class_id="30" tracking_level="0" version="0"><pi class_id="31" tracking_level="1" )x"
                    R"x(version="0" object_id="_7"><ptr class_id_reference="5" object_id_reference="_0"></ptr>)x"
                    "</pi></pn>");
    older = Replace(older, R"x(</px>(\s*</item>\s*</EntryList>))x",
                    R"x(</px><pn><pi class_id_reference="31" object_id="_9"><ptr class_id_reference="5" )x"
                    R"x(object_id_reference="_8"></ptr></pi></pn>$1)x");
    WriteDataFile(older);

    serializer_.Load();
    EXPECT_EQ(Resaved(), file);
}

TEST_F(SerializerTest, FailedLoadKeepsTheModelTheBackupAndTheFileAside)
{
    const std::string good = SaveRichModel();
    serializer_.Load();
    const EntryManager* loaded = &serializer_.GetEntryManager();

    const std::string garbage = "\x01\x02 not an archive \xFF\xFE";
    WriteDataFile(garbage);
    EXPECT_ANY_THROW(serializer_.Load());
    EXPECT_EQ(&serializer_.GetEntryManager(), loaded);
    EXPECT_EQ(support::ReadFile(Backup()), good);
    EXPECT_FALSE(fs::exists(DataFile()));
    const std::vector<fs::path> kept = KeptAside();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(support::ReadFile(kept[0] / "data.dat"), garbage);
    EXPECT_EQ(support::ReadFile(kept[0] / "data.dat.bak"), good);

    // Saving goes on from the model that stayed current.
    EXPECT_EQ(Resaved(), good);
}

// Files cut short or changed in ways a save never produces: every one throws,
// and nothing is read that the file did not provide.
TEST_F(SerializerTest, DamagedFilesThrowCleanly)
{
    const std::string file = SaveRichModel();
    serializer_.Load();
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
    change("bad flag", "<SSL>1</SSL>", "<SSL>2</SSL>");

    for (const auto& [name, bytes] : damaged) {
        ASSERT_TRUE(bytes != file) << name;
        WriteDataFile(bytes);
        EXPECT_ANY_THROW(serializer_.Load()) << name;
    }
    WriteDataFile(Replace(file, "<string>Tue, 09", "<string>Yesterday, 09"));
    EXPECT_THROW(serializer_.Load(), InvalidDataFile) << "a bad event time";
    EXPECT_EQ(KeptAside().size(), damaged.size() + 1);
    EXPECT_EQ(Resaved(), file);

    // Class numbers from the file never select a class, so wrong ones do no harm.
    for (const std::string number : {"-5", "99"}) {
        const std::string attribute = "class_id_reference=\"" + number + "\"";
        std::string changed = Replace(file, R"x(<px class_id_reference="\d+")x", "<px " + attribute);
        changed = Replace(changed, R"x(<Property class_id_reference="\d+")x", "<Property " + attribute);
        WriteDataFile(changed);
        ASSERT_NO_THROW(serializer_.Load()) << number;
        EXPECT_EQ(Resaved(), file);
    }
}

// A file that parses but holds values no entry may have is damaged; an
// event-log size above a limit lowered since is trimmed to it instead.
TEST_F(SerializerTest, ValuesNoEntryMayHaveMakeTheFileDamaged)
{
    const std::string file = SaveRichModel();
    // One block of zeros as a password's bytes: its padding does not decipher.
    std::string undecipherable = "<Data><count>16</count><item_version>0</item_version>";
    for (int i = 0; i < 16; ++i)
        undecipherable += "<item>0</item>";
    undecipherable += "</Data>";
    const std::pair<const char*, const char*> damaged[] = {
        {"<Interval>1800000<", "<Interval>0<"},       {"<Interval>1800000<", "<Interval>-1<"},
        {"<LogMax>25<", "<LogMax>0<"},                {"<LogMax>25<", "<LogMax>-1<"},
        {"<EraseTime>10000<", "<EraseTime>-1<"},      {"<value>443<", "<value>65536<"},
        {"<string>printer.example<", "<string><"}, {"<string>alice<", "<string><"},
        {R"x(<Data>[\s\S]*?</Data>)x", undecipherable.c_str()}};
    for (const auto& [pattern, replacement] : damaged) {
        ASSERT_NE(Replace(file, pattern, replacement), file) << replacement;
        WriteDataFile(Replace(file, pattern, replacement));
        EXPECT_THROW(serializer_.Load(), InvalidDataFile) << replacement;
    }
    EXPECT_EQ(KeptAside().size(), std::size(damaged));

    ConfigLimits lowered = GetConfigLimits();
    lowered.EventLogMaxLimit = 2;
    const support::ScopedSettings settings(lowered);
    WriteDataFile(file);
    serializer_.Load();
    const Entry& trimmed = Table().GetEntry(ID(4));
    EXPECT_TRUE(trimmed.IsValid());
    EXPECT_EQ(trimmed.GetProperty().GetConfig().GetLogMax(), 2);
    EXPECT_EQ(trimmed.GetSharedEventLog()->Size(), 2u);
    EXPECT_TRUE(trimmed.GetSharedEventLog()->Contains(ID(9)));
}

// Text longer than the buffers that saves and loads stream through, with
// characters of several bytes cut at their edges.
TEST_F(SerializerTest, LongTextCrossesTheStreamBuffersAndMalformedBytesFailTheLoad)
{
    const std::wstring name(70001, L'\x65E5');
    Table().Restore(ID(20), WithMachineName(name));
    serializer_.Save();
    const std::string file = support::ReadFile(DataFile());

    serializer_.Load();
    EXPECT_EQ(Table().GetEntry(ID(6)).GetProperty().GetMFP().GetName().value_or(L""), name);
    EXPECT_EQ(Resaved(), file);

    const std::string character = "\xE6\x97\xA5";
    for (const std::string& bad : {std::string("\xE6\x97") + "A", std::string("\xFF")}) {
        std::string damaged = file;
        damaged.replace(damaged.find(character, 100000), character.size(), bad);
        WriteDataFile(damaged);
        EXPECT_ANY_THROW(serializer_.Load());
    }
}

// A disk filling up in the middle of a model larger than one write: the error
// is the disk's, not the stream's.
TEST_F(SerializerTest, SaveToAFullDiskReportsTheDisk)
{
    const std::string before = SaveRichModel();
    Table().Restore(ID(20), WithMachineName(std::wstring(70001, L'x')));
    try {
        const FullDisk fullDisk(before.size());
        serializer_.Save();
        ADD_FAILURE() << "saved to a full disk";
    } catch (const pelmo::system_error& error) {
        EXPECT_EQ(error.code().value(), EFBIG);
    }
    EXPECT_EQ(support::ReadFile(DataFile()), before);
    EXPECT_EQ(support::FileNames(Folder()), (std::set<std::string>{"data.dat"}));
}

// Links planted where saves once wrote are not followed; they and what saves
// cut short by a kill left go at the next load. Other files stay.
TEST_F(SerializerTest, TemporariesOfOthersOrOfInterruptedSavesAreNeverWrittenThroughAndGo)
{
    const std::string file = SaveRichModel();
    const std::set<std::string> others = {"data.dat", "config.tmp", "data.dat.tmp-aB3xY", "data.dat.tmp-aB3xY_"};
    for (const std::string& name : others)
        std::ofstream((Folder() / name).string(), std::ios::app) << "";
    for (const char* name : {"data.dat.tmp", "data.dat.bak.tmp", "data.dat.tmp-aB3xYz", "data.dat.bak.tmp-000000"})
        fs::create_symlink(dir_.Path() / "victim", Folder() / name);
    EXPECT_EQ(Resaved(), file);
    EXPECT_FALSE(fs::exists(dir_.Path() / "victim"));
    serializer_.Load();
    std::set<std::string> left = support::FileNames(Folder());
    left.erase("data.dat.bak");
    EXPECT_EQ(left, others);
}

TEST_F(SerializerTest, FileThatIsNoRegularFileIsUnreadableAndKeptAside)
{
    fs::create_directories(Folder());
    support::MakeFifo(DataFile());
    EXPECT_THROW(support::RunUnblocked(DataFile(), [&] { serializer_.Load(); }), SystemError);
    EXPECT_FALSE(fs::exists(DataFile()));
    EXPECT_EQ(KeptAside().size(), 1u);
}

TEST_F(SerializerTest, FailedSaveLeavesThePreviousFileByteForByte)
{
    const std::string before = SaveRichModel();
    Table().Restore(ID(1), {});

    fs::permissions(Folder(), fs::owner_read | fs::owner_exe);
    {
        support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_ANY_THROW(serializer_.Save());
    }
    fs::permissions(Folder(), fs::owner_all);
    EXPECT_EQ(support::ReadFile(DataFile()), before);
    EXPECT_EQ(support::FileNames(Folder()), (std::set<std::string>{"data.dat"}));

    // A disk that fills up under the temporary file.
    {
        const FullDisk fullDisk(16);
        EXPECT_ANY_THROW(serializer_.Save());
    }
    EXPECT_EQ(support::ReadFile(DataFile()), before);
    EXPECT_EQ(support::FileNames(Folder()), (std::set<std::string>{"data.dat"}));

    serializer_.Save();
    serializer_.Load();
    EXPECT_EQ(Table().Size(), 0u);
}

} // namespace
