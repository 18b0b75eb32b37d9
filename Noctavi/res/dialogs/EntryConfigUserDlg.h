#ifndef NOCTAVI_RES_DIALOGS_ENTRYCONFIGUSERDLG_H
#define NOCTAVI_RES_DIALOGS_ENTRYCONFIGUSERDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 198, the detail settings sheet's page "User": the entry's account,
// of which only the password can be changed.
namespace UI::EntryConfigUserDlgResource {

enum ControlId : int {
    kNameLabel = 1091,
    kName = 1092,
    kIdLabel = 1093,
    kId = 1094,
    kPasswordLabel = 1095,
    kPassword = 1063,
};

inline constexpr ControlTemplate kControls[] = {
    {kNameLabel, ControlKind::Static, {7, 10, 80, 8}, 122},
    {kName, ControlKind::Static, {90, 10, 169, 16}},
    {kIdLabel, ControlKind::Static, {7, 32, 80, 8}, 108},
    {kId, ControlKind::Static, {90, 32, 169, 16}},
    {kPasswordLabel, ControlKind::Static, {7, 54, 80, 8}, 109},
    {kPassword, ControlKind::Edit, {90, 52, 120, 12}, kNoString, ControlFlag::Password},
};

inline constexpr DialogTemplate kTemplate(201, {266, 124}, kControls);

} // namespace UI::EntryConfigUserDlgResource

#endif
