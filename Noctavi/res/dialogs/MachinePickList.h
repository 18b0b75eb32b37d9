#ifndef NOCTAVI_RES_DIALOGS_MACHINEPICKLIST_H
#define NOCTAVI_RES_DIALOGS_MACHINEPICKLIST_H

#include <Noctavi/UI/DialogTemplate.h>

// The machine search's pick list: the machines that the last round found,
// one line each.
namespace UI::MachinePickListResource {

enum ControlId : int {
    kPrompt = 1040,
    kMachines = 1023,
    kRefresh = 1041,
    kOk = 1,
    kCancel = 2,
};

inline constexpr ControlTemplate kControls[] = {
    {kPrompt, ControlKind::Static, {7, 7, 206, 8}, 110},
    {kMachines, ControlKind::ListBox, {7, 18, 206, 96}},
    {kRefresh, ControlKind::PushButton, {7, 120, 60, 14}, 186},
    {kOk, ControlKind::PushButton, {99, 120, 55, 14}, 218, ControlFlag::Default},
    {kCancel, ControlKind::PushButton, {158, 120, 55, 14}, 219},
};

inline constexpr DialogTemplate kTemplate(0xE000, {220, 141}, kControls);

} // namespace UI::MachinePickListResource

#endif
