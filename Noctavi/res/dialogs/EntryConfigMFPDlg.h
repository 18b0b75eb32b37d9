#ifndef NOCTAVI_RES_DIALOGS_ENTRYCONFIGMFPDLG_H
#define NOCTAVI_RES_DIALOGS_ENTRYCONFIGMFPDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 197, the detail settings sheet's page "MFP": the entry's machine.
namespace UI::EntryConfigMFPDlgResource {

enum ControlId : int {
    kManual = 1056,
    kChangeMachine = 1084,
    kNameLabel = 1086,
    kName = 1087,
    kHostLabel = 1088,
    kHost = 1060,
    kHttpLabel = 1089,
    kHttp = 1061,
    kHttpsLabel = 1090,
    kHttps = 1062,
    kSsl = 1057,
};

inline constexpr ControlTemplate kControls[] = {
    {kManual, ControlKind::CheckBox, {7, 7, 150, 10}, 164},
    {kChangeMachine, ControlKind::PushButton, {176, 5, 83, 14}, 163},
    {kNameLabel, ControlKind::Static, {7, 28, 96, 8}, 121},
    {kName, ControlKind::Static, {106, 28, 153, 16}},
    {kHostLabel, ControlKind::Static, {7, 50, 96, 8}, 130},
    {kHost, ControlKind::Edit, {106, 48, 153, 12}},
    {kHttpLabel, ControlKind::Static, {7, 68, 96, 8}, 131},
    {kHttp, ControlKind::Edit, {106, 66, 40, 12}, kNoString, ControlFlag::Digits},
    {kHttpsLabel, ControlKind::Static, {7, 86, 96, 8}, 132},
    {kHttps, ControlKind::Edit, {106, 84, 40, 12}, kNoString, ControlFlag::Digits},
    {kSsl, ControlKind::CheckBox, {106, 102, 100, 10}, 193},
};

inline constexpr DialogTemplate kTemplate(200, {266, 124}, kControls);

} // namespace UI::EntryConfigMFPDlgResource

#endif
