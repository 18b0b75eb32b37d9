#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_LISTSHOTS_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_LISTSHOTS_H

#include <QPixmap>

// The lists in plain windows shaped like the dialogs that hold them, filled
// from a model of their own: a dozen entries, one with a few hundred events,
// and a machine's users.

// The settings dialog with the row selected (sorted by machine name; row 0
// is not monitored), none for -1.
QPixmap SettingsDialog(int row);
// The event log viewer, the entry with a few hundred events selected or
// none; its events scrolled to the end when asked.
QPixmap EventLogViewer(bool selected, bool scrolledToEnd);
// The user list as the add-users wizard sets it up.
QPixmap UserList();

#endif
