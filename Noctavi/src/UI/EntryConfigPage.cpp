#include <Noctavi/UI/EntryConfigPage.h>

#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/Duplicate.h>
#include <Noctavi/MonitoredEntry/DuplicateEntry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/Guard.h>

#include <pelmo/exception.hpp>

#include <QMetaObject>
#include <QScopedValueRollback>

#include <cerrno>

namespace UI {

namespace {

using MonitoredEntry::Entry;
typedef MonitoredEntry::EntryManager::Transaction Transaction;

constexpr int kOkButton = 1;

// Storing the page's change must not make the entry a monitored duplicate.
void SwitchOffMonitoring(Entry& entry)
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    property.SetMonitoring(false);
    entry.SetProperty(property);
}

} // namespace

struct EntryConfigPage::Pimpl {
    Pimpl(MonitoredEntry::EntryManager& model, BasicID<long> entryId)
        : model(model)
        , entryId(entryId)
    {
    }

    MonitoredEntry::EntryManager& model;
    const BasicID<long> entryId;
    bool loaded = false;
    bool exchangeFailed = false;
    // Showing the fields changes the controls; that is no change of the user's.
    bool showing = false;
};

EntryConfigPage::EntryConfigPage(MonitoredEntry::EntryManager& model, BasicID<long> entryId,
                                 const DialogTemplate& table)
    : pimpl_(new Pimpl(model, entryId))
{
    BuildDialog(*this, table);
}

EntryConfigPage::~EntryConfigPage() = default;

void EntryConfigPage::OnInitDialog()
{
    if (pimpl_->loaded)
        return;
    InitControls();
    if (!MonitoredEntry::ReadEntry(pimpl_->model, pimpl_->entryId, [this](const Entry& entry) {
            Load(entry);
            pimpl_->loaded = true;
        })) {
        OnErasedEntry();
        return;
    }
    UpdateData(DataExchange::Load);
    RefreshDependentControls();
}

bool EntryConfigPage::IsLoaded() const
{
    return pimpl_->loaded;
}

bool EntryConfigPage::IsValid() const
{
    return !pimpl_->loaded || (!pimpl_->exchangeFailed && IsValidPart());
}

void EntryConfigPage::OnOK()
{
    if (!pimpl_->loaded)
        return;
    try {
        if (!MonitoredEntry::ChangeEntry(pimpl_->model, pimpl_->entryId, [this](Transaction& transaction, Entry& entry) {
                Store(entry);
                if (!transaction.Search(MonitoredEntry::Conditions::Duplicate<Entry>(entry))->empty())
                    SwitchOffMonitoring(entry);
            }))
            OnErasedEntry();
    } catch (const MonitoredEntry::DuplicateEntry&) {
        // Another entry took the host meanwhile; this page's change is dropped.
    }
}

bool EntryConfigPage::IsAllValidParams() const
{
    const auto* sheet = dynamic_cast<const EntryConfigSheet*>(window());
    if (!sheet)
        PELMO_THROW(SystemError(ENOENT));
    return sheet->IsAllValidParams();
}

void EntryConfigPage::EnableSheetButton(int id, bool enable)
{
    QWidget* sheet = window();
    if (sheet == this)
        PELMO_THROW(SystemError(ENOENT));
    GetDlgItem(*sheet, id).setEnabled(enable);
}

void EntryConfigPage::OnErasedEntry()
{
    QWidget* sheet = window();
    if (sheet == this)
        PELMO_THROW(SystemError(ENOENT));
    QMetaObject::invokeMethod(sheet, &QWidget::close, Qt::QueuedConnection);
}

void EntryConfigPage::UpdateData(DataExchange::Direction direction)
{
    DataExchange exchange(*this, direction);
    {
        const QScopedValueRollback<bool> showing(pimpl_->showing, direction == DataExchange::Load);
        DoDataExchange(exchange);
    }
    if (exchange.IsSaving())
        pimpl_->exchangeFailed = exchange.HasFailed();
}

void EntryConfigPage::WatchChanges(std::initializer_list<int> controlIds)
{
    ConnectChanges(*this, controlIds, Guarded(this, [this] { OnChange(); }));
}

void EntryConfigPage::OnChange()
{
    if (pimpl_->showing || !pimpl_->loaded)
        return;
    UpdateData(DataExchange::Save);
    RefreshDependentControls();
}

void EntryConfigPage::RefreshDependentControls()
{
    UpdateDependentControls();
    EnableSheetButton(kOkButton, IsAllValidParams());
}

} // namespace UI
