#ifndef NOCTAVI_UI_SAVEFILECHOOSER_H
#define NOCTAVI_UI_SAVEFILECHOOSER_H

#include <Noctavi/UI/Seam.h>

#include <QString>

class QWidget;

namespace UI {

// What the save dialog offers: its owner, one name filter in Qt's form
// ("PDF (*.pdf)"), the suffix added to a name typed without one, and the
// folder it opens in.
struct SaveFileRequest {
    QWidget* owner = nullptr;
    QString filter;
    QString defaultSuffix;
    QString folder;
};

using SaveFileChooserSeam = Seam<QString(const SaveFileRequest&)>;

// Asks, window-modal, for the file to save to; confirms replacing an existing
// file. The chosen path, or empty when the user cancelled.
SaveFileChooserSeam& ChooseSaveFile();

// Where a save starts: the user's documents folder (the XDG one) when it
// exists, else the home folder; never the program's working folder.
QString GetSaveFolder();

} // namespace UI

#endif
