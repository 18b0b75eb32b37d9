#include "SheetShots.h"

#include "Grab.h"
#include "Samples.h"

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/MachinePickList.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

#include <functional>
#include <string>
#include <vector>

namespace {

enum { kManual = 1056, kNotice = 1058, kLogMax = 1064, kMachines = 1023 };

// The sheet on one of its pages, changed there as the user would.
QPixmap Sheet(Samples& samples, BasicID<long> entryId, int page, const std::function<void(QWidget&)>& change)
{
    UI::EntryConfigSheet sheet(samples.Model(), entryId);
    sheet.show();
    auto* tabs = sheet.findChild<QTabWidget*>();
    tabs->setCurrentIndex(page);
    change(*tabs->currentWidget());
    return GrabWindow(sheet);
}

void Click(QWidget& page, int id)
{
    UI::GetDlgItem<QAbstractButton>(page, id).click();
}

std::vector<MonitoredEntry::MFP> FoundMachines()
{
    using MonitoredEntry::MFP;
    return {MFP(std::wstring(L"R&D Copier 3F"), L"192.0.2.10", 80, 443, true),
            MFP(boost::none, L"192.0.2.40", 80, 443, true),
            MFP(std::wstring(L"Reception colour multifunction printer, second floor, east wing"), L"192.0.2.41", 8080,
                8443, true)};
}

} // namespace

QPixmap DetailSettings(Samples& samples, BasicID<long> entryId, int page)
{
    return Sheet(samples, entryId, page, [](QWidget&) {});
}

QPixmap DetailSettingsManualMachine(Samples& samples, BasicID<long> entryId)
{
    return Sheet(samples, entryId, 0, [](QWidget& page) { Click(page, kManual); });
}

QPixmap DetailSettingsInvalid(Samples& samples, BasicID<long> entryId)
{
    return Sheet(samples, entryId, 2, [](QWidget& page) {
        Click(page, kNotice);
        UI::GetDlgItem<QLineEdit>(page, kLogMax).setText("51");
    });
}

QPixmap PickList(bool found)
{
    const std::vector<MonitoredEntry::MFP> machines = found ? FoundMachines() : std::vector<MonitoredEntry::MFP>();
    UI::MachinePickList list(nullptr, [machines] { return boost::make_optional(machines); });
    list.Refresh();
    UI::GetDlgItem<QListWidget>(list, kMachines).setCurrentRow(found ? 0 : -1);
    return GrabWindow(list);
}
