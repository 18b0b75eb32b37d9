#ifndef NOCTAVI_RES_DIALOGS_ENTRYWIZARD_USERINPUTPAGE_H
#define NOCTAVI_RES_DIALOGS_ENTRYWIZARD_USERINPUTPAGE_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 109, the add-users wizard's page for a machine that does not list
// its users: the account ID and password, typed in.
namespace UI::EntryWizard::UserInputPageResource {

enum ControlId : int {
    kPrompt = 1032,
    kAccountLabel = 1042,
    kPasswordLabel = 1043,
    kAccount = 1047,
    kPassword = 1048,
};

inline constexpr ControlTemplate kControls[] = {
    {kPrompt, ControlKind::Static, {7, 7, 252, 8}, 107},
    {kAccountLabel, ControlKind::Static, {7, 28, 96, 8}, 108},
    {kAccount, ControlKind::Edit, {106, 26, 100, 12}},
    {kPasswordLabel, ControlKind::Static, {7, 46, 96, 8}, 109},
    {kPassword, ControlKind::Edit, {106, 44, 100, 12}, kNoString, ControlFlag::Password},
};

inline constexpr DialogTemplate kTemplate(104, {266, 180}, kControls);

} // namespace UI::EntryWizard::UserInputPageResource

#endif
