#include <Noctavi/UI/EventListCtrl.h>

#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/UnreadImageList.h>
#include <Noctavi/UI/VirtualList/Column.h>
#include <Noctavi/UI/VirtualList/ImageColumn.h>
#include <Noctavi/UI/VirtualList/TextColumn.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/make_shared.hpp>

#include <cstdint>
#include <tuple>

namespace UI {

namespace {

using VirtualList::ImageColumn;
using VirtualList::TextColumn;
typedef EventListSource::Key Key;

constexpr unsigned int kEventTitle = 123;
constexpr unsigned int kRemarksTitle = 124;
constexpr unsigned int kTimeTitle = 125;

// An order of feed times that never throws, oldest first: times whose day
// does not exist come first, then the others by the instant they name with
// missing seconds as 0, a time without seconds before one with them.
std::tuple<bool, std::int64_t, bool> TimeOrder(const RSS::EventTime& time)
{
    // A time can be compared with itself exactly when its day exists.
    const bool exists = time.IsComparable(time);
    std::int64_t instant = 0;
    if (exists) {
        const boost::gregorian::date day(static_cast<unsigned short>(time.GetYear()),
                                         static_cast<unsigned short>(time.GetMonth()),
                                         static_cast<unsigned short>(time.GetDay()));
        const std::int64_t hours = static_cast<std::int64_t>(day.day_number()) * 24 + time.GetHour();
        instant = (hours * 60 + time.GetMinute()) * 60 + time.GetSecond().value_or(0);
    }
    return std::make_tuple(exists, instant, time.GetSecond().has_value());
}

template <class Kind>
struct EventColumn : VirtualList::Column<EventListSource, Key, Kind> {
    using VirtualList::Column<EventListSource, Key, Kind>::Column;

    MonitoredEntry::Event GetEvent(const Key& key) const { return this->GetModel().GetEvent(key); }
    bool IsUnread(const Key& key) const { return !GetEvent(key).IsRead(); }
};

// Ascending by image: read events before unread ones.
struct UnreadIconColumn : EventColumn<ImageColumn> {
    using EventColumn::EventColumn;

    int GetCell(const Key& key) const override { return IsUnread(key) ? kUnreadImage : kNothingUnreadImage; }
};

// Unread events stand out in bold in every text column.
struct EventTextColumn : EventColumn<TextColumn> {
    using EventColumn::EventColumn;

    bool IsBold(const Key& key) const override { return IsUnread(key); }
};

struct EventNameColumn : EventTextColumn {
    using EventTextColumn::EventTextColumn;

    QString GetCell(const Key& key) const override
    {
        return QString::fromStdWString(GetEvent(key).GetProperty().GetCategory());
    }
};

struct TimeColumn : EventTextColumn {
    using EventTextColumn::EventTextColumn;

    QString GetCell(const Key& key) const override { return FormatEventTime(Time(key)); }
    bool Less(const Key& a, const Key& b) const override { return TimeOrder(Time(a)) < TimeOrder(Time(b)); }

    RSS::EventTime Time(const Key& key) const { return GetEvent(key).GetProperty().GetTime(); }
};

struct InfoColumn : EventTextColumn {
    using EventTextColumn::EventTextColumn;

    QString GetCell(const Key& key) const override
    {
        return QString::fromStdWString(GetEvent(key).GetProperty().GetInfo());
    }
};

} // namespace

EventListCtrl::EventListCtrl(QTreeView& view, EventListSource& source)
    : Control(view)
{
    SetSource(source);
    SetImageList(LoadUnreadImageList());
}

EventListCtrl::ColumnPointer EventListCtrl::CreateColumn(const std::string& name, int width) const
{
    const EventListSource& source = GetSource();
    if (name == "UnreadIconColumn")
        return boost::make_shared<UnreadIconColumn>(source, width);
    if (name == "EventNameColumn")
        return boost::make_shared<EventNameColumn>(source, kEventTitle, width);
    if (name == "TimeColumn")
        return boost::make_shared<TimeColumn>(source, kTimeTitle, width);
    if (name == "InfoColumn")
        return boost::make_shared<InfoColumn>(source, kRemarksTitle, width);
    return ColumnPointer();
}

} // namespace UI
