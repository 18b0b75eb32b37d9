#ifndef NOCTAVI_MONITOREDENTRY_MODELARCHIVE_H
#define NOCTAVI_MONITOREDENTRY_MODELARCHIVE_H

#include <istream>
#include <ostream>

namespace MonitoredEntry {

class EntryManager;

// The model as a wide XML archive under the root element "Noctavi": the entry
// table with its counter, and every entry with its settings, event log and
// latest feed. Passwords are written only as their enciphered bytes; the
// entries' subscription status is not written.

// Writes the whole model, closing tag included, holding the model lock only
// while it copies the list of entries. The caller has imbued the stream with
// the locale that numbers are to follow.
void WriteModel(std::wostream& out, EntryManager& manager);

// Reads a model into a new manager that nobody observes yet, stopping after
// the root element, so that a file without the archive's closing tag loads.
//
// configCompatibility is the config compatibility flag of one load. Clear, it
// is set while an entry's three newer settings ("EraseTime", "EventRead",
// "DeleteMsg") are read and cleared after them, so a file written before they
// existed fails with the flag left set. Set, those three elements are not
// read: each entry takes the pop-up time, mark-read and delete-confirmation
// defaults of the application settings.
//
// Throws what the archive throws (a damaged, foreign or newer file), what
// building the values throws, and InvalidDataFile.
void ReadModel(std::wistream& in, EntryManager& manager, bool& configCompatibility);

} // namespace MonitoredEntry

#endif
