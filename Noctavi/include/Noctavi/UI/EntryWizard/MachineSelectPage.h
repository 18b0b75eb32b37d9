#ifndef NOCTAVI_UI_ENTRYWIZARD_MACHINESELECTPAGE_H
#define NOCTAVI_UI_ENTRYWIZARD_MACHINESELECTPAGE_H

#include <Noctavi/UI/EntryWizard/Page.h>

namespace MonitoredEntry {
class MFP;
}

namespace UI::EntryWizard {

// Step 1: a machine that the search found, or one typed in once "&Enter
// machine manually" is ticked. Next asks the machine whether it lists its
// users, which decides the next page.
class MachineSelectPage : public Page {
public:
    MachineSelectPage();
    ~MachineSelectPage() override;

private:
    int GetNextPageKey() const override;
    void OnInitDialog() override;
    bool Store() override;
    void DoDataExchange(DataExchange& exchange) override;
    void Recheck() override;

    void OnSelect(int row);
    void OnManual();
    void OnRefresh();
    void FillList();
    // 1 when the machine's users must be typed in, else 0.
    int AskForUserSelector(const MonitoredEntry::MFP& machine) const;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI::EntryWizard

#endif
