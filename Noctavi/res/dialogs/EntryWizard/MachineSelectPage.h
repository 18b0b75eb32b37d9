#ifndef NOCTAVI_RES_DIALOGS_ENTRYWIZARD_MACHINESELECTPAGE_H
#define NOCTAVI_RES_DIALOGS_ENTRYWIZARD_MACHINESELECTPAGE_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 107, the add-users wizard's first page: a machine found on the
// network, or one typed in.
namespace UI::EntryWizard::MachineSelectPageResource {

enum ControlId : int {
    kPrompt = 1040,
    kMachines = 1023,
    kRefresh = 1041,
    kManual = 1024,
    kNameLabel = 1033,
    kName = 1034,
    kHostLabel = 1035,
    kHost = 1014,
    kHttpLabel = 1036,
    kHttp = 1015,
    kHttpsLabel = 1037,
    kHttps = 1016,
    kSsl = 1046,
};

inline constexpr ControlTemplate kControls[] = {
    {kPrompt, ControlKind::Static, {7, 7, 252, 8}, 110},
    {kMachines, ControlKind::ListBox, {7, 18, 190, 62}},
    {kRefresh, ControlKind::PushButton, {203, 18, 56, 14}, 186},
    {kManual, ControlKind::CheckBox, {7, 86, 150, 10}, 164},
    {kNameLabel, ControlKind::Static, {7, 102, 96, 8}, 121},
    {kName, ControlKind::Static, {106, 102, 153, 8}},
    {kHostLabel, ControlKind::Static, {7, 118, 96, 8}, 130},
    {kHost, ControlKind::Edit, {106, 116, 153, 12}},
    {kHttpLabel, ControlKind::Static, {7, 134, 96, 8}, 131},
    {kHttp, ControlKind::Edit, {106, 132, 40, 12}, kNoString, ControlFlag::Digits},
    {kHttpsLabel, ControlKind::Static, {7, 150, 96, 8}, 132},
    {kHttps, ControlKind::Edit, {106, 148, 40, 12}, kNoString, ControlFlag::Digits},
    {kSsl, ControlKind::CheckBox, {106, 164, 100, 10}, 193},
};

inline constexpr DialogTemplate kTemplate(104, {266, 180}, kControls);

} // namespace UI::EntryWizard::MachineSelectPageResource

#endif
