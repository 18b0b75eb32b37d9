#ifndef NOCTAVI_UI_DIALOGTEMPLATE_H
#define NOCTAVI_UI_DIALOGTEMPLATE_H

#include <QFlags>
#include <QRect>
#include <QSize>

#include <cstddef>

namespace UI {

// The widget a control of a table becomes.
enum class ControlKind {
    GroupBox,   // QGroupBox, stacked below every other control
    Static,     // QLabel, plain text: a label, a value or a picture
    PushButton, // QPushButton
    CheckBox,   // QCheckBox
    Edit,       // QLineEdit
    ListBox,    // QListWidget
    ListView,   // QTreeView as a report list: rows chosen whole, one at a time
    SpinButton, // UI::SpinButton, which steps the number of its buddy edit
};

enum class ControlFlag {
    Default = 0x01,  // the push button that Enter presses
    Hidden = 0x02,
    Disabled = 0x04,
    Password = 0x08, // an edit that hides what is typed
    Digits = 0x10,   // an edit that takes the digits 0 to 9 only
};
Q_DECLARE_FLAGS(ControlFlags, ControlFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlFlags)

// No string: the control starts without text.
constexpr unsigned int kNoString = 0;
// The id of controls that no code looks for.
constexpr int kUnnamedControl = -1;

// One control: its id (the widget's objectName in decimal), its kind, its
// rectangle in dialog units (x, y, width, height), the string that gives its
// text and its flags.
struct ControlTemplate {
    int id;
    ControlKind kind;
    QRect rect;
    unsigned int stringId = kNoString;
    ControlFlags flags = {};
};

// A dialog: the string of its caption, its client size in dialog units and its
// controls in tab order.
struct DialogTemplate {
    template <std::size_t N>
    constexpr DialogTemplate(unsigned int captionId, QSize size, const ControlTemplate (&controls)[N])
        : captionId(captionId)
        , size(size)
        , begin(controls)
        , end(controls + N)
    {
    }

    unsigned int captionId;
    QSize size;
    const ControlTemplate* begin;
    const ControlTemplate* end;
};

} // namespace UI

#endif
