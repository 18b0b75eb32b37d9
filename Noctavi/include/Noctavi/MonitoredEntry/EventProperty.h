#ifndef NOCTAVI_MONITOREDENTRY_EVENTPROPERTY_H
#define NOCTAVI_MONITOREDENTRY_EVENTPROPERTY_H

#include <Noctavi/RSS/EventTime.h>

#include <pelmo/cloner.hpp>

#include <boost/optional.hpp>

#include <string>

namespace MonitoredEntry {

// What one event says: the feed item's category and information text, the
// address of the document's thumbnail and the document's ID on the machine
// (both only when the item names a document), and the publication time.
class EventProperty {
public:
    EventProperty(const std::wstring& category, const std::wstring& info,
                  const boost::optional<std::wstring>& thumbNailURL, const boost::optional<std::wstring>& docID,
                  const RSS::EventTime& time);

    const std::wstring& GetCategory() const;
    const std::wstring& GetInfo() const;
    const boost::optional<std::wstring>& GetThumbNailURL() const;
    const boost::optional<std::wstring>& GetDocID() const;
    const RSS::EventTime& GetTime() const;

    // Field by field, texts exactly. Times that cannot be compared with each
    // other (one with seconds, one without) are not equal, so a feed with a
    // malformed time never stops a log from taking new events.
    bool operator==(const EventProperty& other) const noexcept;
    bool operator!=(const EventProperty& other) const noexcept { return !(*this == other); }

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
