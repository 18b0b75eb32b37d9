#include <Noctavi/MonitoredEntry/ModelArchive.h>

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/InvalidDataFile.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/RSS/InvalidTimeString.h>
#include <Noctavi/RSS/Item.h>
#include <Noctavi/RSS/RSSFeed.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/TextConversion.h>

#include "DataFileArchive.h"

#include <pelmo/exception.hpp>

#include <boost/archive/xml_wiarchive.hpp>
#include <boost/make_shared.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/detail/stack_constructor.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/optional.hpp>
#include <boost/serialization/shared_ptr.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/vector.hpp>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace {

using boost::serialization::make_nvp;

// Wide text is stored the way the program has always stored it: as a class
// of its own holding one element "string".
struct WideText {
    std::wstring value;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        ar & make_nvp("string", value);
    }
};

boost::optional<WideText> ToText(const boost::optional<std::wstring>& text)
{
    return text ? boost::optional<WideText>(WideText{*text}) : boost::none;
}

boost::optional<std::wstring> FromText(const boost::optional<WideText>& text)
{
    return text ? boost::optional<std::wstring>(text->value) : boost::none;
}

template <class Archive, class T>
void Put(Archive& ar, const char* name, const T& value)
{
    ar << make_nvp(name, value);
}

template <class T, class Archive>
T Take(Archive& ar, const char* name)
{
    T value{};
    ar >> make_nvp(name, value);
    return value;
}

template <class Archive>
boost::optional<std::wstring> TakeOptionalText(Archive& ar, const char* name)
{
    return FromText(Take<boost::optional<WideText>>(ar, name));
}

// The value that a pointer in the file stood for; none means a damaged file.
template <class T>
const T& Present(const boost::optional<T>& value)
{
    if (!value)
        PELMO_THROW(MonitoredEntry::InvalidDataFile());
    return *value;
}

// Narrow texts (feeds, times) go through the one UTF-8 conversion of the
// program rather than the archive's own, which asserts on malformed bytes; the
// file is the same for well-formed text.
template <class Archive>
void PutNarrow(Archive& ar, const char* name, const std::string& text)
{
    Put(ar, name, Utility::ToWide(text));
}

template <class Archive>
std::string TakeNarrow(Archive& ar, const char* name)
{
    return Utility::ToNarrow(Take<std::wstring>(ar, name));
}

// The config compatibility flag of the read in progress, kept with its archive.
struct ReadState {
    bool unwatched = false;
    bool* configCompatibility = &unwatched;
};

char readStateKey;

template <class Archive>
bool& ConfigCompatibility(Archive& ar)
{
    return *ar.template get_helper<ReadState>(&readStateKey).configCompatibility;
}

void TakeNewerSettingsFromDefaults(MonitoredEntry::Config& config)
{
    const ::Config& settings = ::Config::GetInstance();
    config.SetEraseTime(settings.GetPopupEventEraseInterval());
    config.SetEventRead(settings.GetEntryDefaultEnableEventRead());
    config.SetDeleteMsg(settings.GetEntryDefaultEnableDeleteMsg());
}

// A password whose bytes do not decipher fails the test by throwing.
bool IsValidEntry(const MonitoredEntry::Entry& entry)
{
    try {
        return entry.IsValid();
    } catch (const pelmo::exception&) {
        return false;
    }
}

// The table gives entries out by ID and restores only lists in ascending
// order. Each entry must pass the checks of an entry the user adds: the
// monitors would otherwise poll without pause, or file nothing.
void CheckEntryList(const MonitoredEntry::EntryDB::EntryList& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i] || !IsValidEntry(*entries[i]) || (i > 0 && !(entries[i - 1]->GetID() < entries[i]->GetID())))
            PELMO_THROW(MonitoredEntry::InvalidDataFile());
    }
}

// An event-log size above the limit is what lowering "EVENT_LOG_MAX_LIMIT"
// leaves behind. The entry keeps its newest events within the new limit, as
// when the user lowers the size, rather than failing every write of events.
// The log's maximum always follows the entry's setting.
void FitLogToLimit(MonitoredEntry::Entry& entry)
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    MonitoredEntry::Config config = property.GetConfig();
    config.SetLogMax(std::min(config.GetLogMax(), GetConfigLimits().EventLogMaxLimit));
    property.SetConfig(config);
    entry.SetProperty(property);
    const boost::shared_ptr<MonitoredEntry::EventLog> log = entry.GetEventLog();
    log->SetMax(config.GetLogMax());
    entry.SetEventLog(log);
}

// Events are addressed by their ID; two with one ID would make that ambiguous.
void CheckEventIDs(const MonitoredEntry::EventLog::EventList& events)
{
    std::vector<BasicID<long>> ids;
    ids.reserve(events.size());
    for (const MonitoredEntry::Event& event : events)
        ids.push_back(event.GetID());
    std::sort(ids.begin(), ids.end());
    if (std::adjacent_find(ids.begin(), ids.end()) != ids.end())
        PELMO_THROW(MonitoredEntry::InvalidDataFile());
}

// Enough for any model the settings allow to be read without reallocation,
// little enough that a damaged count costs nothing.
const std::size_t kReserveLimit = 4096;

// Reads a vector in the archive's layout ("count", "item_version", then each
// "item"), growing it only as items arrive: a damaged count then ends in a
// parse error, never in an allocation that the file does not back.
template <class Archive, class T>
void LoadSequence(Archive& ar, std::vector<T>& items)
{
    namespace bs = boost::serialization;
    bs::collection_size_type count;
    ar >> make_nvp("count", count);
    bs::item_version_type itemVersion(0);
    if (bs::library_version_type(3) < ar.get_library_version())
        ar >> make_nvp("item_version", itemVersion);
    std::vector<T> loaded;
    const std::size_t size = count;
    loaded.reserve(std::min(size, kReserveLimit));
    for (std::size_t i = 0; i < size; ++i) {
        bs::detail::stack_construct<Archive, T> item(ar, itemVersion);
        ar >> make_nvp("item", item.reference());
        loaded.push_back(std::move(item.reference()));
    }
    items.swap(loaded);
}

// What the writer put behind pointers is read back as plain objects of the
// types below. The archive then never looks up a class by a number from the
// file, and never hands back an object that the file merely refers to again
// (such an element leaves its object empty, which counts as damage).

struct TimeBody {
    boost::optional<RSS::EventTime> time;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        const std::string text = TakeNarrow(ar, "string");
        try {
            time.emplace(text);
        } catch (const RSS::InvalidTimeString&) {
            PELMO_THROW(MonitoredEntry::InvalidDataFile());
        }
    }
};

struct PropertyBody {
    boost::optional<MonitoredEntry::EventProperty> property;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        const std::wstring category = Take<WideText>(ar, "Category").value;
        const std::wstring info = Take<WideText>(ar, "Info").value;
        const boost::optional<std::wstring> thumbNailURL = TakeOptionalText(ar, "ThumbNailURL");
        const boost::optional<std::wstring> docID = TakeOptionalText(ar, "DocID");
        property.emplace(category, info, thumbNailURL, docID, Present(Take<TimeBody>(ar, "Time").time));
    }
};

struct EntryBody {
    boost::shared_ptr<MonitoredEntry::Entry> entry;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        using namespace MonitoredEntry;
        const BasicID<long> id = Take<BasicID<long>>(ar, "ID");
        auto loaded = boost::make_shared<Entry>(id, Take<EntryProperty>(ar, "Property"));
        loaded->SetEventLog(boost::make_shared<EventLog>(Take<EventLog>(ar, "EventLog")));
        loaded->SetLatestRSSFeed(Take<boost::optional<RSS::RSSFeed>>(ar, "LatestRSSFeed"));
        FitLogToLimit(*loaded);
        entry = loaded;
    }
};

// The count of a shared pointer in its older form: "pi", the counter object,
// whose "ptr" names the entry once more. Read only to get past it.
struct OldCounter {
    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        Take<EntryBody>(ar, "ptr");
    }
};

struct OldSharedCount {
    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        Take<OldCounter>(ar, "pi");
    }
};

// One item of the entry list: a shared pointer, "px", followed by "pn" in
// the form that came before the pointer's class version 1.
struct EntrySlot {
    boost::shared_ptr<MonitoredEntry::Entry> entry;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int version)
    {
        entry = Take<EntryBody>(ar, "px").entry;
        if (version < 1)
            Take<OldSharedCount>(ar, "pn");
    }
};

// The model as it is written (never read): the table's counter and its
// entries. Stored entries and their logs are never changed, only replaced, so
// a copy of the list taken under the model lock stays as it was while the
// archive writes it.
struct TableSnapshot {
    BasicID<long> nextID;
    MonitoredEntry::EntryDB::EntryList entries;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        Put(ar, "NextID", nextID);
        Put(ar, "EntryList", entries);
    }
};

struct ModelSnapshot {
    TableSnapshot table;

    template <class Archive>
    void serialize(Archive& ar, const unsigned int)
    {
        Put(ar, "EntryDB", table);
    }
};

ModelSnapshot TakeSnapshot(MonitoredEntry::EntryManager& manager)
{
    MonitoredEntry::ModelLock lock(manager);
    const MonitoredEntry::EntryDB& db = manager.GetEntryDB();
    return ModelSnapshot{TableSnapshot{db.GetNextID(), db.GetEntryList()}};
}

} // namespace

namespace boost {
namespace serialization {

// Each model class is written through its public interface, so that its
// record stays private. Classes without a default constructor are read as
// construction data.

template <class Archive>
void save(Archive& ar, const BasicID<long>& id, const unsigned int)
{
    Put(ar, "value", id.GetValue());
}

template <class Archive>
void load(Archive& ar, BasicID<long>& id, const unsigned int)
{
    id = BasicID<long>(Take<BasicID<long>::value_type>(ar, "value"));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::MFP& mfp, const unsigned int)
{
    Put(ar, "Name", ToText(mfp.GetName()));
    Put(ar, "Host", WideText{mfp.GetHost()});
    Put(ar, "HTTP", mfp.GetHTTP());
    Put(ar, "HTTPS", mfp.GetHTTPS());
    Put(ar, "SSL", mfp.GetSSL());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::MFP& mfp, const unsigned int)
{
    const boost::optional<std::wstring> name = TakeOptionalText(ar, "Name");
    const std::wstring host = Take<WideText>(ar, "Host").value;
    const boost::optional<int> http = Take<boost::optional<int>>(ar, "HTTP");
    const boost::optional<int> https = Take<boost::optional<int>>(ar, "HTTPS");
    mfp = MonitoredEntry::MFP(name, host, http, https, Take<bool>(ar, "SSL"));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::Password& password, const unsigned int)
{
    Put(ar, "Data", password.GetData());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::Password& password, const unsigned int)
{
    password.SetData(Take<std::vector<unsigned char>>(ar, "Data"));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::User& user, const unsigned int)
{
    Put(ar, "Name", ToText(user.GetName()));
    Put(ar, "ID", WideText{user.GetID()});
    Put(ar, "Password", user.GetPassword());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::User& user, const unsigned int)
{
    const boost::optional<std::wstring> name = TakeOptionalText(ar, "Name");
    const std::wstring id = Take<WideText>(ar, "ID").value;
    user = MonitoredEntry::User(name, id, Take<MonitoredEntry::Password>(ar, "Password"));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::Config& config, const unsigned int)
{
    Put(ar, "LogMax", config.GetLogMax());
    Put(ar, "Interval", config.GetInterval());
    Put(ar, "Notice", config.GetNotice());
    Put(ar, "EraseTime", config.GetEraseTime());
    Put(ar, "EventRead", config.GetEventRead());
    Put(ar, "DeleteMsg", config.GetDeleteMsg());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::Config& config, const unsigned int)
{
    config.SetLogMax(Take<int>(ar, "LogMax"));
    config.SetInterval(Take<int>(ar, "Interval"));
    config.SetNotice(Take<bool>(ar, "Notice"));
    bool& configCompatibility = ConfigCompatibility(ar);
    if (configCompatibility) {
        TakeNewerSettingsFromDefaults(config);
        return;
    }
    configCompatibility = true;
    config.SetEraseTime(Take<int>(ar, "EraseTime"));
    config.SetEventRead(Take<bool>(ar, "EventRead"));
    config.SetDeleteMsg(Take<bool>(ar, "DeleteMsg"));
    configCompatibility = false;
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::EntryProperty& property, const unsigned int)
{
    Put(ar, "Monitoring", property.GetMonitoring());
    Put(ar, "MFP", property.GetMFP());
    Put(ar, "User", property.GetUser());
    Put(ar, "Config", property.GetConfig());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::EntryProperty& property, const unsigned int)
{
    const bool monitoring = Take<bool>(ar, "Monitoring");
    const MonitoredEntry::MFP mfp = Take<MonitoredEntry::MFP>(ar, "MFP");
    const MonitoredEntry::User user = Take<MonitoredEntry::User>(ar, "User");
    property = MonitoredEntry::EntryProperty(monitoring, mfp, user, Take<MonitoredEntry::Config>(ar, "Config"));
}

template <class Archive>
void save_construct_data(Archive& ar, const RSS::EventTime* time, const unsigned int)
{
    PutNarrow(ar, "string", time->GetString());
}

template <class Archive>
void save_construct_data(Archive& ar, const MonitoredEntry::EventProperty* property, const unsigned int)
{
    Put(ar, "Category", WideText{property->GetCategory()});
    Put(ar, "Info", WideText{property->GetInfo()});
    Put(ar, "ThumbNailURL", ToText(property->GetThumbNailURL()));
    Put(ar, "DocID", ToText(property->GetDocID()));
    Put(ar, "Time", &property->GetTime());
}

// An event in its log's list: the ID and the property as construction data,
// the read flag as the item itself.
template <class Archive>
void save_construct_data(Archive& ar, const MonitoredEntry::Event* event, const unsigned int)
{
    Put(ar, "ID", event->GetID());
    Put(ar, "Property", &event->GetProperty());
}

template <class Archive>
void load_construct_data(Archive& ar, MonitoredEntry::Event* event, const unsigned int)
{
    const BasicID<long> id = Take<BasicID<long>>(ar, "ID");
    ::new (event) MonitoredEntry::Event(id, Present(Take<PropertyBody>(ar, "Property").property));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::Event& event, const unsigned int)
{
    Put(ar, "Read", event.IsRead());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::Event& event, const unsigned int)
{
    event.SetRead(Take<bool>(ar, "Read"));
}

template <class Archive>
void save(Archive& ar, const MonitoredEntry::EventLog& log, const unsigned int)
{
    Put(ar, "EventList", log.GetEventList());
    Put(ar, "NextID", log.GetNextID());
    Put(ar, "Max", log.GetMax());
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::EventLog& log, const unsigned int)
{
    auto events = Take<MonitoredEntry::EventLog::EventList>(ar, "EventList");
    CheckEventIDs(events);
    const BasicID<long> nextID = Take<BasicID<long>>(ar, "NextID");
    log = MonitoredEntry::EventLog(std::move(events), nextID, Take<int>(ar, "Max"));
}

template <class Archive>
void save(Archive& ar, const RSS::Item& item, const unsigned int)
{
    PutNarrow(ar, "title", item.GetTitle());
    PutNarrow(ar, "description", item.GetDescription());
    PutNarrow(ar, "category", item.GetCategory());
    PutNarrow(ar, "guid", item.GetGuid());
    PutNarrow(ar, "pub", item.GetPub());
}

template <class Archive>
void load(Archive& ar, RSS::Item& item, const unsigned int)
{
    item.SetTitle(TakeNarrow(ar, "title"));
    item.SetDescription(TakeNarrow(ar, "description"));
    item.SetCategory(TakeNarrow(ar, "category"));
    item.SetGuid(TakeNarrow(ar, "guid"));
    item.SetPub(TakeNarrow(ar, "pub"));
}

template <class Archive>
void save(Archive& ar, const RSS::RSSFeed& feed, const unsigned int)
{
    PutNarrow(ar, "Title", feed.GetTitle());
    PutNarrow(ar, "Link", feed.GetLink());
    PutNarrow(ar, "Date", feed.GetDate());
    Put(ar, "ItemList", feed.GetItemList());
}

template <class Archive>
void load(Archive& ar, RSS::RSSFeed& feed, const unsigned int)
{
    feed.SetTitle(TakeNarrow(ar, "Title"));
    feed.SetLink(TakeNarrow(ar, "Link"));
    feed.SetDate(TakeNarrow(ar, "Date"));
    feed.SetItemList(Take<RSS::ItemList>(ar, "ItemList"));
}

// An entry, written through its shared pointer. The pointer's object itself
// holds nothing more.
template <class Archive>
void save_construct_data(Archive& ar, const MonitoredEntry::Entry* entry, const unsigned int)
{
    Put(ar, "ID", entry->GetID());
    Put(ar, "Property", entry->GetProperty());
    // The stored log, not a copy: the archive knows events' properties by
    // their addresses, which must not be reused while it writes.
    Put(ar, "EventLog", *entry->GetSharedEventLog());
    Put(ar, "LatestRSSFeed", entry->GetLatestRSSFeed());
}

// The table and the manager are written from a snapshot (ModelSnapshot) and
// read into the new manager itself.
template <class Archive>
void load(Archive& ar, MonitoredEntry::EntryDB& db, const unsigned int)
{
    const BasicID<long> nextID = Take<BasicID<long>>(ar, "NextID");
    MonitoredEntry::EntryDB::EntryList entries;
    for (const EntrySlot& slot : Take<std::vector<EntrySlot>>(ar, "EntryList"))
        entries.push_back(slot.entry);
    CheckEntryList(entries);
    db.Restore(nextID, std::move(entries));
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::EntryManager& manager, const unsigned int)
{
    ar >> make_nvp("EntryDB", manager.GetEntryDB());
}

// The vectors of the model, read as they arrive (LoadSequence). More
// specialised than the library's own vector reader, so chosen over it.
template <class Archive>
void load(Archive& ar, std::vector<unsigned char>& bytes, const unsigned int)
{
    LoadSequence(ar, bytes);
}

template <class Archive>
void load(Archive& ar, MonitoredEntry::EventLog::EventList& events, const unsigned int)
{
    LoadSequence(ar, events);
}

template <class Archive>
void load(Archive& ar, RSS::ItemList& items, const unsigned int)
{
    LoadSequence(ar, items);
}

template <class Archive>
void load(Archive& ar, std::vector<EntrySlot>& entries, const unsigned int)
{
    LoadSequence(ar, entries);
}

// Classes written whole as construction data of their pointers.
template <class Archive>
void serialize(Archive&, RSS::EventTime&, const unsigned int)
{
}

template <class Archive>
void serialize(Archive&, MonitoredEntry::EventProperty&, const unsigned int)
{
}

template <class Archive>
void serialize(Archive&, MonitoredEntry::Entry&, const unsigned int)
{
}

} // namespace serialization
} // namespace boost

BOOST_SERIALIZATION_SPLIT_FREE(BasicID<long>)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::MFP)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::Password)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::User)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::Config)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::EntryProperty)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::Event)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::EventLog)
BOOST_SERIALIZATION_SPLIT_FREE(RSS::Item)
BOOST_SERIALIZATION_SPLIT_FREE(RSS::RSSFeed)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::EntryDB)
BOOST_SERIALIZATION_SPLIT_FREE(MonitoredEntry::EntryManager)

namespace MonitoredEntry {

void WriteModel(std::wostream& out, EntryManager& manager)
{
    const ModelSnapshot model = TakeSnapshot(manager);
    DataFileOArchive ar(out);
    ar << make_nvp("Noctavi", model);
}

void ReadModel(std::wistream& in, EntryManager& manager, bool& configCompatibility)
{
    boost::archive::xml_wiarchive ar(in);
    ar.get_helper<ReadState>(&readStateKey).configCompatibility = &configCompatibility;
    ar >> make_nvp("Noctavi", manager);
    // The archive's destructor would go on to parse its closing tag, and throw
    // out of the destructor where the tag is missing or cut short. The model
    // is complete with the root element, so the rest of the stream is left
    // unread.
    in.setstate(std::ios::failbit);
}

} // namespace MonitoredEntry
