#ifndef NOCTAVI_UI_ENTRYCONFIGUSERDLG_H
#define NOCTAVI_UI_ENTRYCONFIGUSERDLG_H

#include <Noctavi/UI/EntryConfigPage.h>

namespace UI {

// The sheet's page "User": the entry's account, of which only the password
// can be changed.
class EntryConfigUserDlg : public EntryConfigPage {
public:
    EntryConfigUserDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId);
    ~EntryConfigUserDlg() override;

private:
    void DoDataExchange(DataExchange& exchange) override;
    void Load(const MonitoredEntry::Entry& entry) override;
    void Store(MonitoredEntry::Entry& entry) const override;
    bool IsValidPart() const override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
