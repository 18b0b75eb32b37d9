#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_SHEETSHOTS_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_SHEETSHOTS_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <QPixmap>

class Samples;

// The detail settings sheet and the machine search's pick list.

// The sheet for the entry on one of its pages (0 "MFP", 1 "User", 2 "Settings").
QPixmap DetailSettings(Samples& samples, BasicID<long> entryId, int page);
// The machine page with "Enter machine manually" ticked.
QPixmap DetailSettingsManualMachine(Samples& samples, BasicID<long> entryId);
// The settings page with pop-ups switched off and a number beyond its range.
QPixmap DetailSettingsInvalid(Samples& samples, BasicID<long> entryId);
// The pick list with three machines found, the first selected, or none.
QPixmap PickList(bool found);

#endif
