#ifndef NOCTAVI_UI_MACHINEPICKLIST_H
#define NOCTAVI_UI_MACHINEPICKLIST_H

#include <Noctavi/Utility/SearchAgent.h>

#include <QDialog>

#include <boost/optional.hpp>

#include <cstddef>

namespace UI {

// Our own list of the machines that a search finds, in place of the search
// library's window: "&Refresh" runs the round again, OK (with a machine
// selected) picks it, Cancel leaves. Window-modal to its owner.
class MachinePickList : public QDialog {
public:
    MachinePickList(QWidget* owner, SearchAgent::Round round);

    // Runs the round on a thread of its own while the windows keep painting
    // (RunInBackground), then lists what it found; false, leaving the list as
    // it was, when the round failed.
    bool Refresh();

    // The selected line's index, once the list has been accepted.
    boost::optional<std::size_t> GetPicked() const;

private:
    void UpdateButtons();

    SearchAgent::Round round_;
};

} // namespace UI

#endif
