#ifndef NOCTAVI_RES_DIALOGS_EVENTDLG_H
#define NOCTAVI_RES_DIALOGS_EVENTDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 134, "Event Details": one event, the entry's unread count and the
// actions on the event's document.
namespace UI::EventDlgResource {

enum ControlId : int {
    kCountLabel = 1124,
    kCountIcon = 1125,
    kCountText = 1126,
    kLogin = 1127,
    kEventLogViewer = 1128,
    kDetailsFrame = 1129,
    kMachineLabel = 1068,
    kMachine = 1073,
    kUserLabel = 1069,
    kUser = 1074,
    kCategoryLabel = 1070,
    kCategory = 1075,
    kInfoLabel = 1071,
    kInfo = 1076,
    kTimeLabel = 1072,
    kTime = 1077,
    kThumbnailArea = 1114, // never shown: the thumbnail is fitted into it and centred over it
    kThumbnail = 1080,
    kPreview = 1067,
    kPrint = 1078,
    kSave = 1079,
    kDelete = 1130,
    kMarkRead = 1131,
    kClose = 1,
};

inline constexpr ControlTemplate kControls[] = {
    {kUnnamedControl, ControlKind::GroupBox, {6, 0, 315, 28}},
    {kCountLabel, ControlKind::Static, {13, 12, 78, 8}, 210},
    // Room for a count of four digits in bold before Login.
    {kCountIcon, ControlKind::Static, {99, 11, 8, 8}},
    {kCountText, ControlKind::Static, {111, 12, 50, 8}},
    {kLogin, ControlKind::PushButton, {165, 8, 72, 16}, 195},
    {kEventLogViewer, ControlKind::PushButton, {241, 8, 72, 16}, 183},
    {kDetailsFrame, ControlKind::GroupBox, {6, 30, 315, 283}},
    {kMachineLabel, ControlKind::Static, {13, 42, 78, 8}, 121},
    {kMachine, ControlKind::Static, {103, 42, 204, 8}},
    {kUserLabel, ControlKind::Static, {13, 54, 78, 8}, 122},
    {kUser, ControlKind::Static, {103, 54, 204, 8}},
    {kCategoryLabel, ControlKind::Static, {13, 66, 78, 8}, 123},
    {kCategory, ControlKind::Static, {103, 66, 204, 8}},
    {kInfoLabel, ControlKind::Static, {13, 78, 78, 8}, 124},
    {kInfo, ControlKind::Static, {103, 78, 204, 8}},
    {kTimeLabel, ControlKind::Static, {13, 90, 78, 8}, 125},
    {kTime, ControlKind::Static, {103, 90, 204, 8}},
    {kThumbnailArea, ControlKind::GroupBox, {25, 114, 270, 150}, kNoString, ControlFlag::Hidden},
    {kThumbnail, ControlKind::Static, {31, 126, 15, 13}},
    {kPreview, ControlKind::PushButton, {13, 270, 72, 16}, 166},
    {kPrint, ControlKind::PushButton, {89, 270, 72, 16}, 167},
    {kSave, ControlKind::PushButton, {165, 270, 72, 16}, 172},
    {kDelete, ControlKind::PushButton, {241, 270, 72, 16}, 212},
    {kMarkRead, ControlKind::CheckBox, {13, 294, 299, 10}, 206},
    {kClose, ControlKind::PushButton, {241, 319, 72, 16}, 192, ControlFlag::Default},
};

inline constexpr DialogTemplate kTemplate(117, {327, 342}, kControls);

} // namespace UI::EventDlgResource

#endif
