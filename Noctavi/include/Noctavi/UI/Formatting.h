#ifndef NOCTAVI_UI_FORMATTING_H
#define NOCTAVI_UI_FORMATTING_H

#include <QString>

#include <vector>

namespace IS {
class User;
}
namespace MonitoredEntry {
class MFP;
class User;
} // namespace MonitoredEntry
namespace RSS {
class EventTime;
}

namespace UI {

// "yyyy/mm/dd hh:mm:ss", or without ":ss" when the time has no seconds, as the
// machine published it (never converted to local time).
QString FormatEventTime(const RSS::EventTime& time);

// What names a machine or a user: its name, else the machine's host or the
// user's account ID. A name that is present but empty counts as absent.
QString GetDisplayName(const MonitoredEntry::MFP& machine);
QString GetDisplayName(const MonitoredEntry::User& user);
QString GetDisplayName(const IS::User& user);

// The column widths that a string lists, separated by commas (empty pieces
// skipped). A list that does not parse, such as a catalogue's "80, 380",
// gives way to the built-in string table's.
std::vector<int> ParseWidthList(unsigned int stringId);

} // namespace UI

#endif
