#include <Noctavi/UI/MachinePickList.h>

#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>

#include <dialogs/MachinePickList.h>

#include <QListWidget>
#include <QPushButton>

namespace UI {

namespace {

namespace Resource = MachinePickListResource;

} // namespace

MachinePickList::MachinePickList(QWidget* owner, SearchAgent::Round round)
    : QDialog(owner)
    , round_(std::move(round))
{
    BuildDialog(*this, Resource::kTemplate);
    SetWindowIcon(*this);
    setWindowModality(Qt::WindowModal);
    auto& machines = GetDlgItem<QListWidget>(*this, Resource::kMachines);
    connect(&machines, &QListWidget::itemSelectionChanged, this, Guarded(this, [this] { UpdateButtons(); }));
    connect(&GetDlgItem<QPushButton>(*this, Resource::kRefresh), &QPushButton::clicked, this,
            Guarded(this, [this] {
                if (!Refresh())
                    reject();
            }));
    connect(&GetDlgItem<QPushButton>(*this, Resource::kOk), &QPushButton::clicked, this, &QDialog::accept);
    connect(&GetDlgItem<QPushButton>(*this, Resource::kCancel), &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

bool MachinePickList::Refresh()
{
    boost::optional<std::vector<MonitoredEntry::MFP>> found;
    RunInBackground([&] { found = round_(); });
    if (!found)
        return false;
    auto& machines = GetDlgItem<QListWidget>(*this, Resource::kMachines);
    machines.clear();
    for (const MonitoredEntry::MFP& machine : *found)
        machines.addItem(GetDisplayName(machine));
    UpdateButtons();
    return true;
}

boost::optional<std::size_t> MachinePickList::GetPicked() const
{
    const int row = GetDlgItem<QListWidget>(*this, Resource::kMachines).currentRow();
    if (result() != Accepted || row < 0)
        return boost::none;
    return static_cast<std::size_t>(row);
}

void MachinePickList::UpdateButtons()
{
    const auto& machines = GetDlgItem<QListWidget>(*this, Resource::kMachines);
    GetDlgItem(*this, Resource::kOk).setEnabled(!machines.selectedItems().isEmpty());
}

} // namespace UI
