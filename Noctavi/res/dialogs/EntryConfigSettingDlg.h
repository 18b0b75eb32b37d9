#ifndef NOCTAVI_RES_DIALOGS_ENTRYCONFIGSETTINGDLG_H
#define NOCTAVI_RES_DIALOGS_ENTRYCONFIGSETTINGDLG_H

#include <Noctavi/UI/DialogTemplate.h>

// Dialog 199, the detail settings sheet's page "Settings": the entry's own
// settings. The range labels are filled in with the configured bounds.
namespace UI::EntryConfigSettingDlgResource {

enum ControlId : int {
    kLogMaxLabel = 1096,
    kLogMax = 1064,
    kLogMaxSpin = 1108,
    kLogMaxRange = 1098,
    kIntervalLabel = 1097,
    kInterval = 1065,
    kIntervalSpin = 1109,
    kIntervalRange = 1099,
    kNotice = 1058,
    kEraseTimeLabel = 1117,
    kEraseTime = 1118,
    kEraseTimeSpin = 1119,
    kEraseTimeRange = 1120,
    kEraseTimeNote = 1121,
    kEventRead = 1122,
    kDeleteMsg = 1123,
};

// The strings that the range labels are made of.
enum RangeString : unsigned int { kMaxString = 151, kMinutesString = 153, kEraseTimeUnitString = 203 };

inline constexpr ControlTemplate kControls[] = {
    {kLogMaxLabel, ControlKind::Static, {7, 9, 130, 8}, 150},
    {kLogMax, ControlKind::Edit, {140, 7, 36, 12}, kNoString, ControlFlag::Digits},
    {kLogMaxSpin, ControlKind::SpinButton, {176, 7, 10, 12}},
    {kLogMaxRange, ControlKind::Static, {190, 9, 69, 8}},
    {kIntervalLabel, ControlKind::Static, {7, 27, 130, 8}, 152},
    {kInterval, ControlKind::Edit, {140, 25, 36, 12}, kNoString, ControlFlag::Digits},
    {kIntervalSpin, ControlKind::SpinButton, {176, 25, 10, 12}},
    {kIntervalRange, ControlKind::Static, {190, 27, 69, 8}},
    {kNotice, ControlKind::CheckBox, {7, 45, 252, 10}, 165},
    {kEraseTimeLabel, ControlKind::Static, {17, 61, 120, 8}, 204},
    {kEraseTime, ControlKind::Edit, {140, 59, 36, 12}, kNoString, ControlFlag::Digits},
    {kEraseTimeSpin, ControlKind::SpinButton, {176, 59, 10, 12}},
    {kEraseTimeRange, ControlKind::Static, {190, 61, 69, 8}},
    {kEraseTimeNote, ControlKind::Static, {17, 77, 242, 8}, 205},
    {kEventRead, ControlKind::CheckBox, {7, 93, 252, 10}, 206},
    {kDeleteMsg, ControlKind::CheckBox, {7, 107, 252, 10}, 207},
};

inline constexpr DialogTemplate kTemplate(202, {266, 124}, kControls);

} // namespace UI::EntryConfigSettingDlgResource

#endif
