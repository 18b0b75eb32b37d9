#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_SAMPLES_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_SAMPLES_H

#include <Noctavi/MonitoredEntry/EntryManager.h>

// The made-up model that the gallery's dialogs and menus show: machines with
// and without names, one whose name holds an ampersand, one not monitored.
class Samples {
public:
    Samples();

    MonitoredEntry::EntryManager& Model() { return model_; }

private:
    MonitoredEntry::EntryManager model_;
};

#endif
