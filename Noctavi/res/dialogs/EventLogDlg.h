#ifndef NOCTAVI_RES_DIALOGS_EVENTLOGDLG_H
#define NOCTAVI_RES_DIALOGS_EVENTLOGDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 135, "Event Log Viewer": the monitored entries on the left, the
// selected entry's names, actions and logged events on the right.
namespace UI::EventLogDlgResource {

enum ControlId : int {
    kEntries = 1050,
    kMachineLabel = 1100,
    kMachine = 1102,
    kUserLabel = 1101,
    kUser = 1103,
    kLogin = 1115,
    kAllConfirm = 1116,
    kRefresh = 1051,
    kEvents = 1066,
    kClose = 1,
};

// The lists are as wide as their columns' widths and a scroll bar.
inline constexpr ControlTemplate kControls[] = {
    {kEntries, ControlKind::ListView, {7, 7, 196, 227}},
    {kMachineLabel, ControlKind::Static, {211, 9, 60, 8}, 121},
    {kMachine, ControlKind::Static, {275, 9, 326, 8}},
    {kUserLabel, ControlKind::Static, {211, 21, 60, 8}, 122},
    {kUser, ControlKind::Static, {275, 21, 326, 8}},
    {kLogin, ControlKind::PushButton, {383, 33, 70, 14}, 195},
    {kAllConfirm, ControlKind::PushButton, {457, 33, 70, 14}, 196},
    {kRefresh, ControlKind::PushButton, {531, 33, 70, 14}, 186},
    {kEvents, ControlKind::ListView, {211, 51, 390, 183}},
    {kClose, ControlKind::PushButton, {531, 241, 70, 14}, 192, ControlFlag::Default},
};

inline constexpr DialogTemplate kTemplate(155, {608, 262}, kControls);

} // namespace UI::EventLogDlgResource

#endif
