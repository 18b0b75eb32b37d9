#ifndef NOCTAVI_UI_SAVEFILECHOOSER_H
#define NOCTAVI_UI_SAVEFILECHOOSER_H

#include <Noctavi/UI/Seam.h>

#include <QString>

class QWidget;

namespace UI {

// What the save dialog offers: its owner, one name filter in Qt's form
// ("PDF (*.pdf)") and the suffix added to a name typed without one.
struct SaveFileRequest {
    QWidget* owner = nullptr;
    QString filter;
    QString defaultSuffix;
};

using SaveFileChooserSeam = Seam<QString(const SaveFileRequest&)>;

// Asks, window-modal, for the file to save to; confirms replacing an existing
// file. The chosen path, or empty when the user cancelled.
SaveFileChooserSeam& ChooseSaveFile();

} // namespace UI

#endif
