#include <Noctavi/MonitoredEntry/EventProperty.h>

namespace MonitoredEntry {

struct EventProperty::Pimpl {
    std::wstring category;
    std::wstring info;
    boost::optional<std::wstring> thumbNailURL;
    boost::optional<std::wstring> docID;
    RSS::EventTime time;
};

EventProperty::EventProperty(const std::wstring& category, const std::wstring& info,
                             const boost::optional<std::wstring>& thumbNailURL,
                             const boost::optional<std::wstring>& docID, const RSS::EventTime& time)
    : pimpl_(new Pimpl{category, info, thumbNailURL, docID, time})
{
}

const std::wstring& EventProperty::GetCategory() const
{
    return pimpl_->category;
}

const std::wstring& EventProperty::GetInfo() const
{
    return pimpl_->info;
}

const boost::optional<std::wstring>& EventProperty::GetThumbNailURL() const
{
    return pimpl_->thumbNailURL;
}

const boost::optional<std::wstring>& EventProperty::GetDocID() const
{
    return pimpl_->docID;
}

const RSS::EventTime& EventProperty::GetTime() const
{
    return pimpl_->time;
}

bool EventProperty::operator==(const EventProperty& other) const noexcept
{
    const Pimpl& a = *pimpl_;
    const Pimpl& b = *other.pimpl_;
    return a.category == b.category && a.info == b.info && a.thumbNailURL == b.thumbNailURL && a.docID == b.docID
        && a.time.IsSameTime(b.time);
}

} // namespace MonitoredEntry
