#ifndef NOCTAVI_RES_DIALOGS_ENTRYWIZARD_USERSELECTPAGE_H
#define NOCTAVI_RES_DIALOGS_ENTRYWIZARD_USERSELECTPAGE_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 108, the add-users wizard's page for a machine that lists its users:
// one of them, and the password.
namespace UI::EntryWizard::UserSelectPageResource {

enum ControlId : int {
    kPrompt = 1027,
    kUsers = 1022,
    kRefresh = 1028,
    kNameLabel = 1029,
    kName = 1030,
    kAccountLabel = 1044,
    kAccount = 1031,
    kPasswordLabel = 1045,
    kPassword = 1026,
};

inline constexpr ControlTemplate kControls[] = {
    {kPrompt, ControlKind::Static, {7, 7, 252, 8}, 114},
    {kUsers, ControlKind::ListView, {7, 18, 252, 96}},
    {kRefresh, ControlKind::PushButton, {203, 118, 56, 14}, 186},
    {kNameLabel, ControlKind::Static, {7, 136, 96, 8}, 122},
    {kName, ControlKind::Static, {106, 136, 153, 8}},
    {kAccountLabel, ControlKind::Static, {7, 150, 96, 8}, 108},
    {kAccount, ControlKind::Static, {106, 150, 153, 8}},
    {kPasswordLabel, ControlKind::Static, {7, 166, 96, 8}, 109},
    {kPassword, ControlKind::Edit, {106, 164, 100, 12}, kNoString, ControlFlag::Password},
};

inline constexpr DialogTemplate kTemplate(104, {266, 180}, kControls);

} // namespace UI::EntryWizard::UserSelectPageResource

#endif
