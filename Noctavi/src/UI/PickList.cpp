#include <Noctavi/UI/PickList.h>

#include <Noctavi/UI/MachinePickList.h>

#include <QPointer>

namespace UI {

boost::optional<std::size_t> ExecPickList(const PickListRequest& request)
{
    // The owner may be deleted while the list waits, and the list with it.
    QPointer<MachinePickList> list(new MachinePickList(request.owner, request.round));
    boost::optional<std::size_t> picked;
    if (list->Refresh() && list && list->exec() == QDialog::Accepted && list)
        picked = list->GetPicked();
    delete list;
    return picked;
}

PickListSeam& ShowPickList()
{
    static PickListSeam seam(&ExecPickList);
    return seam;
}

SearchAgent::Window PickListWindow(QWidget* owner)
{
    return [owner = QPointer<QWidget>(owner)](const SearchAgent::Round& round) {
        return ShowPickList()({owner, round});
    };
}

} // namespace UI
