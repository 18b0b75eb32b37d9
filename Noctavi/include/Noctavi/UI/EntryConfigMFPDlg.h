#ifndef NOCTAVI_UI_ENTRYCONFIGMFPDLG_H
#define NOCTAVI_UI_ENTRYCONFIGMFPDLG_H

#include <Noctavi/UI/EntryConfigPage.h>

namespace UI {

// The sheet's page "MFP": the entry's machine, typed in once "&Enter machine
// manually" is ticked, else taken from a machine search.
class EntryConfigMFPDlg : public EntryConfigPage {
public:
    EntryConfigMFPDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId);
    ~EntryConfigMFPDlg() override;

private:
    void DoDataExchange(DataExchange& exchange) override;
    void Load(const MonitoredEntry::Entry& entry) override;
    void Store(MonitoredEntry::Entry& entry) const override;
    bool IsValidPart() const override;
    void UpdateDependentControls() override;
    void OnChangeMachine();

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
