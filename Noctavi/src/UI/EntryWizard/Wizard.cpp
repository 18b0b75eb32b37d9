#include <Noctavi/UI/EntryWizard/Wizard.h>

#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/UI/EntryWizard/CommitPage.h>
#include <Noctavi/UI/EntryWizard/MachineSelectPage.h>
#include <Noctavi/UI/EntryWizard/UserInputPage.h>
#include <Noctavi/UI/EntryWizard/UserSelectPage.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Strings.h>

namespace UI::EntryWizard {

namespace {

constexpr unsigned int kCaptionString = 104;
constexpr unsigned int kBackString = 220;
constexpr unsigned int kNextString = 221;
constexpr unsigned int kFinishString = 222;
constexpr unsigned int kCancelString = 219;

} // namespace

struct Wizard::Pimpl {
    // A copy of the defaults, so that a change of the settings meanwhile
    // cannot mix two sets of them in one entry.
    MonitoredEntry::EntryProperty property = Config::GetInstance().GetEntryDefaults();
};

Wizard::Wizard(MonitoredEntry::EntryManager& model, QWidget* parent)
    : QWizard(parent)
    , pimpl_(new Pimpl)
{
    setWindowModality(Qt::WindowModal);
    setWizardStyle(QWizard::ClassicStyle);
    setPage(kMachineSelectPage, new MachineSelectPage);
    setPage(kUserSelectPage, new UserSelectPage);
    setPage(kUserInputPage, new UserInputPage);
    setPage(kCommitPage, new CommitPage(model));
    connect(this, &QWizard::currentIdChanged, this, Guarded(this, [this](int key) { OnPageChanged(key); }));
    OnInitDialog();
}

Wizard::~Wizard() = default;

const MonitoredEntry::EntryProperty& Wizard::GetEntryProperty() const
{
    return pimpl_->property;
}

void Wizard::SetEntryProperty(const MonitoredEntry::EntryProperty& property)
{
    pimpl_->property = property;
}

void Wizard::OnInitDialog()
{
    setWindowTitle(LoadString(kCaptionString));
    setButtonText(QWizard::BackButton, LoadString(kBackString));
    setButtonText(QWizard::NextButton, LoadString(kNextString));
    setButtonText(QWizard::FinishButton, LoadString(kFinishString));
    setButtonText(QWizard::CancelButton, LoadString(kCancelString));
    SetWindowIcon(*this);
}

void Wizard::OnPageChanged(int key)
{
    if (auto* shown = dynamic_cast<Page*>(page(key)))
        setWindowTitle(shown->GetTitle());
}

} // namespace UI::EntryWizard
