#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_SAMPLES_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_SAMPLES_H

#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <QImage>

// The made-up model that the gallery's dialogs and menus show: machines with
// and without names, one whose name holds an ampersand, one not monitored;
// the first with three unread events, the second with more than a hundred.
class Samples {
public:
    static const BasicID<long> kCopier;     // "R&D Copier 3F", 3 unread events
    static const BasicID<long> kHallPrinter; // no name, 120 unread events
    static const BasicID<long> kScanner;     // "Archive scanner", not monitored, nothing unread

    Samples();

    MonitoredEntry::EntryManager& Model() { return model_; }

    // What an event window shows of an event of the entry.
    MachineEvent::Event Event(BasicID<long> entryId, const MonitoredEntry::EventProperty& property);
    // An event as a feed names it, with a document or without one.
    static MonitoredEntry::EventProperty Property(const std::wstring& category, const std::wstring& info,
                                                  bool withDocument);
    // A scanned page as a machine's thumbnail shows it.
    static QImage ScannedPage();

private:
    void AddUnreadEvents(BasicID<long> entryId, int count);

    MonitoredEntry::EntryManager model_;
};

#endif
