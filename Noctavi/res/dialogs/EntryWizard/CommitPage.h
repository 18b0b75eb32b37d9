#ifndef NOCTAVI_RES_DIALOGS_ENTRYWIZARD_COMMITPAGE_H
#define NOCTAVI_RES_DIALOGS_ENTRYWIZARD_COMMITPAGE_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 110, the add-users wizard's last page.
namespace UI::EntryWizard::CommitPageResource {

enum ControlId : int {
    kPrompt = 1038,
    kNotificationItems = 1039,
};

inline constexpr ControlTemplate kControls[] = {
    {kPrompt, ControlKind::Static, {7, 7, 252, 8}, 105},
    {kNotificationItems, ControlKind::CheckBox, {7, 24, 200, 10}, 194},
};

inline constexpr DialogTemplate kTemplate(104, {266, 180}, kControls);

} // namespace UI::EntryWizard::CommitPageResource

#endif
