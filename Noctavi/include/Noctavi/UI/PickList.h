#ifndef NOCTAVI_UI_PICKLIST_H
#define NOCTAVI_UI_PICKLIST_H

#include <Noctavi/UI/Seam.h>
#include <Noctavi/Utility/SearchAgent.h>

#include <boost/optional.hpp>

#include <cstddef>

class QWidget;

namespace UI {

// What a search with an owner shows: the window it belongs to (none: it
// stands alone) and the round that fills it.
struct PickListRequest {
    QWidget* owner = nullptr;
    SearchAgent::Round round;
};

// Runs the request's round and, when it found its machines, shows them in a
// window-modal UI::MachinePickList: the index of
// the machine picked in the last round's list, or none when the user
// cancelled or a round failed.
boost::optional<std::size_t> ExecPickList(const PickListRequest& request);

using PickListSeam = Seam<boost::optional<std::size_t>(const PickListRequest&)>;

// How the program shows its pick list: ExecPickList unless overridden.
PickListSeam& ShowPickList();

// The window for a SearchAgent whose searches the owner shows.
SearchAgent::Window PickListWindow(QWidget* owner);

} // namespace UI

#endif
