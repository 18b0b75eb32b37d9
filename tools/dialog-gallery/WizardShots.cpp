#include "WizardShots.h"

#include "Grab.h"
#include "Samples.h"

#include <Noctavi/IS/User.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/UserListCtrl.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

namespace {

using UI::EntryWizard::Wizard;

enum { kMachines = 1023, kManual = 1024, kHost = 1014, kHttp = 1015, kHttps = 1016, kSsl = 1046 };
enum { kUsers = 1022, kUserPassword = 1026, kAccount = 1047, kPassword = 1048 };

QLineEdit& Edit(const Wizard& wizard, int id)
{
    return UI::GetDlgItem<QLineEdit>(*wizard.currentPage(), id);
}

// The wizard as the user left it on the way.
QPixmap Shoot(Samples& samples, const std::function<void(Wizard&)>& steps, int startPage = Wizard::kMachineSelectPage)
{
    Wizard wizard(samples.Model());
    wizard.setStartId(startPage);
    wizard.show();
    // The machine search, which the first page runs once it is shown.
    QCoreApplication::processEvents();
    steps(wizard);
    return GrabWindow(wizard);
}

// A machine on the discard port of loopback, which refuses the question of
// its users, so that the wizard goes on to the account ID page.
void TypeMachine(Wizard& wizard)
{
    UI::GetDlgItem<QAbstractButton>(*wizard.currentPage(), kManual).click();
    Edit(wizard, kHost).setText("127.0.0.1");
    Edit(wizard, kHttp).setText("9");
    Edit(wizard, kHttps).setText("443");
    UI::GetDlgItem<QAbstractButton>(*wizard.currentPage(), kSsl).setChecked(false);
}

void ToUserInput(Wizard& wizard)
{
    TypeMachine(wizard);
    wizard.next();
    Edit(wizard, kAccount).setText("user7");
    Edit(wizard, kPassword).setText("secret");
}

} // namespace

QPixmap WizardMachineSelect(Samples& samples, bool manual)
{
    return Shoot(samples, [manual](Wizard& wizard) {
        if (manual) {
            TypeMachine(wizard);
            return;
        }
        UI::GetDlgItem<QListWidget>(*wizard.currentPage(), kMachines)
            .addItems({"R&D Copier 3F", "192.0.2.40", "Reception colour multifunction printer, second floor, east wing"});
    });
}

QPixmap WizardUserSelect(Samples& samples)
{
    return Shoot(
        samples,
        [](Wizard& wizard) {
            auto& view = UI::GetDlgItem<QTreeView>(*wizard.currentPage(), kUsers);
            auto& list = dynamic_cast<UI::UserListCtrl&>(*view.model());
            std::vector<IS::User> users;
            const char* const names[] = {"Ada Example", "", "Cy Demo", "Dana Reception Desk", "", "Fay"};
            for (long n = 1; n <= 9; ++n)
                users.emplace_back(n, names[n % 6], "user" + std::to_string(n));
            list.GetSource().ReplaceUsers(std::move(users));
            list.Refresh();
            view.selectionModel()->select(list.index(2, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            Edit(wizard, kUserPassword).setText("secret");
        },
        Wizard::kUserSelectPage);
}

QPixmap WizardUserInput(Samples& samples)
{
    return Shoot(samples, ToUserInput);
}

QPixmap WizardCommit(Samples& samples)
{
    return Shoot(samples, [](Wizard& wizard) {
        ToUserInput(wizard);
        wizard.next();
    });
}
