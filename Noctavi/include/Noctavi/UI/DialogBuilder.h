#ifndef NOCTAVI_UI_DIALOGBUILDER_H
#define NOCTAVI_UI_DIALOGBUILDER_H

class QWidget;

namespace UI {

struct DialogTemplate;

// Gives an empty dialog (or page) its caption, fixed client size and controls
// from a table, in dialog units of the dialog's font. Controls are created in
// the table's order, which is the tab order; group boxes are then stacked
// below the rest so that they never cover a control. Every text comes from
// the string table.
void BuildDialog(QWidget& dialog, const DialogTemplate& table);

} // namespace UI

#endif
