#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_WIZARDSHOTS_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_WIZARDSHOTS_H

#include <QPixmap>

class Samples;

// The add-users wizard's pages. No machine answers the gallery: what a
// machine would list is filled in by hand, and a machine typed in leads to
// the account ID page, as one that cannot be asked does.

// The machine page with three machines listed, or with one typed in.
QPixmap WizardMachineSelect(Samples& samples, bool manual);
// The user list with a user selected and the password typed.
QPixmap WizardUserSelect(Samples& samples);
// The account ID page, filled in.
QPixmap WizardUserInput(Samples& samples);
// The last page.
QPixmap WizardCommit(Samples& samples);

#endif
