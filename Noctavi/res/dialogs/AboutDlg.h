#ifndef NOCTAVI_RES_DIALOGS_ABOUTDLG_H
#define NOCTAVI_RES_DIALOGS_ABOUTDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 143, "About": the program's name, version and copyright and the
// language catalogue's version.
namespace UI::AboutDlgResource {

enum ControlId : int {
    kIcon = kUnnamedControl,
    kName = 1110,
    kVersion = 1111,
    kCopyright = 1112,
    kLanguage = 1113,
    kOk = 1,
};

inline constexpr ControlTemplate kControls[] = {
    {kIcon, ControlKind::Static, {11, 10, 21, 20}},
    {kName, ControlKind::Static, {40, 10, 118, 8}, 0xE000},
    {kVersion, ControlKind::Static, {40, 22, 118, 8}},
    {kLanguage, ControlKind::Static, {40, 34, 118, 8}},
    {kCopyright, ControlKind::Static, {40, 46, 118, 8}},
    {kOk, ControlKind::PushButton, {164, 8, 50, 14}, 218, ControlFlag::Default},
};

inline constexpr DialogTemplate kDialog(184, {220, 64}, kControls);

} // namespace UI::AboutDlgResource

#endif
