#ifndef NOCTAVI_RES_DIALOGS_ENTRYMANAGERDLG_H
#define NOCTAVI_RES_DIALOGS_ENTRYMANAGERDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 132, "User Monitor Settings": the monitored entries and what can be
// done with them. The frame holds the list and the buttons that act on the
// selected entry's monitoring.
namespace UI::EntryManagerDlgResource {

enum ControlId : int {
    kFrame = kUnnamedControl,
    kEntries = 1082,
    kChangeStatus = 1055,
    kNotificationItems = 1054,
    kAdd = 1083,
    kRemove = 1053,
    kDetailSettings = 1052,
    kClose = 1,
};

inline constexpr ControlTemplate kControls[] = {
    {kFrame, ControlKind::GroupBox, {5, 4, 373, 172}},
    {kEntries, ControlKind::ListView, {10, 12, 363, 136}},
    {kChangeStatus, ControlKind::PushButton, {10, 154, 70, 14}, 191},
    {kNotificationItems, ControlKind::PushButton, {84, 154, 85, 14}, 188},
    {kAdd, ControlKind::PushButton, {5, 182, 60, 14}, 187},
    {kRemove, ControlKind::PushButton, {69, 182, 60, 14}, 190},
    {kDetailSettings, ControlKind::PushButton, {133, 182, 80, 14}, 189},
    {kClose, ControlKind::PushButton, {318, 182, 60, 14}, 192, ControlFlag::Default},
};

inline constexpr DialogTemplate kTemplate(126, {383, 203}, kControls);

} // namespace UI::EntryManagerDlgResource

#endif
