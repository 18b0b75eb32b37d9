#ifndef NOCTAVI_UI_ENTRYCONFIGSETTINGDLG_H
#define NOCTAVI_UI_ENTRYCONFIGSETTINGDLG_H

#include <Noctavi/UI/EntryConfigPage.h>

namespace UI {

// The sheet's page "Settings": the entry's own settings. The polling interval
// is edited in whole minutes and the pop-up time in whole seconds; a time the
// user leaves as it was shown is written back as it was stored.
class EntryConfigSettingDlg : public EntryConfigPage {
public:
    EntryConfigSettingDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId);
    ~EntryConfigSettingDlg() override;

private:
    void DoDataExchange(DataExchange& exchange) override;
    void InitControls() override;
    void Load(const MonitoredEntry::Entry& entry) override;
    void Store(MonitoredEntry::Entry& entry) const override;
    bool IsValidPart() const override;
    void UpdateDependentControls() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
