#ifndef NOCTAVI_UI_ABOUTDLG_H
#define NOCTAVI_UI_ABOUTDLG_H

#include <QDialog>

namespace UI {

// The "About" window: the program's name, its version and copyright as the
// build gave them, and the version of the loaded language catalogue (with
// " !" once a text was missing from it, "-" without one). Modeless and
// top-level; OK and Esc close it.
class AboutDlg : public QDialog {
    Q_OBJECT

public:
    AboutDlg();
    ~AboutDlg() override;
};

} // namespace UI

#endif
