#include <Noctavi/UI/EntryWizard/Page.h>

#include <Noctavi/System/Config.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Strings.h>

#include <pelmo/exception.hpp>

#include <QAbstractButton>
#include <QScopedValueRollback>

#include <cerrno>
#include <utility>

namespace UI::EntryWizard {

namespace {

constexpr unsigned int kCaptionString = 104;
constexpr int kSteps = 3;

} // namespace

struct Page::Pimpl {
    explicit Pimpl(int step)
        : step(step)
    {
    }

    const int step;
    WizardButtons buttons;
    bool initialised = false;
    bool exchangeFailed = false;
    // Showing the fields changes the controls; that is no change of the user's.
    bool showing = false;
};

Page::Page(int step, const DialogTemplate& table)
    : pimpl_(new Pimpl(step))
{
    BuildDialog(*this, table);
}

Page::~Page() = default;

QString Page::GetTitle() const
{
    return QString::asprintf("%s %d/%d", LoadString(kCaptionString).toUtf8().constData(), pimpl_->step, kSteps);
}

const MonitoredEntry::EntryProperty& Page::GetDefaultEntryProperty() const
{
    return Config::GetInstance().GetEntryDefaults();
}

const MonitoredEntry::EntryProperty& Page::GetEntryProperty() const
{
    return GetWizard().GetEntryProperty();
}

void Page::SetEntryProperty(const MonitoredEntry::EntryProperty& property)
{
    GetWizard().SetEntryProperty(property);
}

void Page::SetWizardButtons(WizardButtons buttons)
{
    pimpl_->buttons = buttons;
    Q_EMIT completeChanged();
    Wizard& wizard = GetWizard();
    if (wizard.currentPage() != this)
        return;
    QAbstractButton* back = wizard.button(QWizard::BackButton);
    back->setEnabled(back->isEnabled() && buttons.testFlag(Back));
}

void Page::initializePage()
{
    RunGuarded(this, [this] {
        if (!std::exchange(pimpl_->initialised, true))
            OnInitDialog();
        OnActivate();
    });
}

bool Page::validatePage()
{
    bool leave = false;
    RunGuarded(this, [&] { leave = Store(); });
    return leave;
}

int Page::nextId() const
{
    return GetNextPageKey();
}

bool Page::isComplete() const
{
    return pimpl_->buttons & (Next | Finish);
}

Wizard& Page::GetWizard() const
{
    auto* owner = dynamic_cast<Wizard*>(wizard());
    if (!owner)
        PELMO_THROW(SystemError(ENOENT));
    return *owner;
}

void Page::UpdateData(DataExchange::Direction direction)
{
    DataExchange exchange(*this, direction);
    {
        const QScopedValueRollback<bool> showing(pimpl_->showing, direction == DataExchange::Load);
        DoDataExchange(exchange);
    }
    // Controls just filled from the fields hold only values.
    pimpl_->exchangeFailed = exchange.IsSaving() && exchange.HasFailed();
}

bool Page::HasInvalidField() const
{
    return pimpl_->exchangeFailed;
}

void Page::WatchChanges(std::initializer_list<int> controlIds)
{
    const auto onChange = [this] {
        if (pimpl_->showing)
            return;
        UpdateData(DataExchange::Save);
        Recheck();
    };
    ConnectChanges(*this, controlIds, Guarded(this, onChange));
}

} // namespace UI::EntryWizard
