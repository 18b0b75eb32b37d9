#include <Noctavi/UI/EntryListCtrl.h>

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/UI/UnreadImageList.h>
#include <Noctavi/UI/VirtualList/Column.h>
#include <Noctavi/UI/VirtualList/ImageColumn.h>
#include <Noctavi/UI/VirtualList/TextColumn.h>

#include <boost/make_shared.hpp>

namespace UI {

namespace {

using MonitoredEntry::EntryProperty;
using VirtualList::ImageColumn;
using VirtualList::TextColumn;
typedef EntryListSource::Key Key;

constexpr unsigned int kMachineNameTitle = 121;
constexpr unsigned int kUserNameTitle = 122;
constexpr unsigned int kStatusTitle = 134;
constexpr unsigned int kNoticeTitle = 135;
constexpr unsigned int kNoticeOnString = 136;
constexpr unsigned int kNoticeOffString = 137;

// What the status column shows, in its ascending order.
enum StatusCode { kMonitoring = 0, kNotMonitoring = 1, kConnectionError = 2 };
constexpr unsigned int kStatusStrings[] = {144, 146, 145};

StatusCode GetStatusCode(const EntryProperty& property)
{
    if (!property.GetMonitoring())
        return kNotMonitoring;
    const bool failed = property.GetStatus() == EntryProperty::StatusNotSubscribed
                        || property.GetStatusDetail() != EntryProperty::RequestSucceeded;
    return failed ? kConnectionError : kMonitoring;
}

template <class Kind>
struct EntryColumn : VirtualList::Column<EntryListSource, Key, Kind> {
    using VirtualList::Column<EntryListSource, Key, Kind>::Column;

    const EntryProperty& Property(const Key& id) const { return this->GetModel().GetEntry(id).GetProperty(); }
};

struct UnreadIconColumn : EntryColumn<ImageColumn> {
    using EntryColumn::EntryColumn;

    int GetCell(const Key& id) const override { return CountUnread(id) > 0 ? kUnreadImage : kNothingUnreadImage; }
    bool Less(const Key& a, const Key& b) const override { return CountUnread(a) < CountUnread(b); }

    int CountUnread(const Key& id) const { return GetModel().GetEntry(id).GetSharedEventLog()->CountUnread(); }
};

struct MFPNameColumn : EntryColumn<TextColumn> {
    using EntryColumn::EntryColumn;

    QString GetCell(const Key& id) const override { return GetDisplayName(Property(id).GetMFP()); }
};

struct StatusColumn : EntryColumn<TextColumn> {
    using EntryColumn::EntryColumn;

    QString GetCell(const Key& id) const override { return LoadString(kStatusStrings[Code(id)]); }
    bool Less(const Key& a, const Key& b) const override { return Code(a) < Code(b); }

    StatusCode Code(const Key& id) const { return GetStatusCode(Property(id)); }
};

struct UserNameColumn : EntryColumn<TextColumn> {
    using EntryColumn::EntryColumn;

    QString GetCell(const Key& id) const override { return GetDisplayName(Property(id).GetUser()); }
};

struct EnableNoticeColumn : EntryColumn<TextColumn> {
    using EntryColumn::EntryColumn;

    QString GetCell(const Key& id) const override
    {
        return LoadString(Notice(id) ? kNoticeOnString : kNoticeOffString);
    }
    bool Less(const Key& a, const Key& b) const override { return !Notice(a) && Notice(b); }

    bool Notice(const Key& id) const { return Property(id).GetConfig().GetNotice(); }
};

} // namespace

EntryListCtrl::EntryListCtrl(QTreeView& view, EntryListSource& source)
    : Control(view)
{
    SetSource(source);
    SetImageList(LoadUnreadImageList());
}

EntryListCtrl::ColumnPointer EntryListCtrl::CreateColumn(const std::string& name, int width) const
{
    const EntryListSource& source = GetSource();
    if (name == "UnreadIconColumn")
        return boost::make_shared<UnreadIconColumn>(source, width);
    if (name == "MFPNameColumn")
        return boost::make_shared<MFPNameColumn>(source, kMachineNameTitle, width);
    if (name == "StatusColumn")
        return boost::make_shared<StatusColumn>(source, kStatusTitle, width);
    if (name == "UserNameColumn")
        return boost::make_shared<UserNameColumn>(source, kUserNameTitle, width);
    if (name == "EnableNoticeColumn")
        return boost::make_shared<EnableNoticeColumn>(source, kNoticeTitle, width);
    return ColumnPointer();
}

} // namespace UI
