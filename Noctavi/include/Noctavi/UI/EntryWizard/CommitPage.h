#ifndef NOCTAVI_UI_ENTRYWIZARD_COMMITPAGE_H
#define NOCTAVI_UI_ENTRYWIZARD_COMMITPAGE_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/UI/EntryWizard/Page.h>

#include <boost/optional.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI::EntryWizard {

// Step 3: Finish appends the entry, unless another entry has its host, which
// asks whether to close the wizard instead. With "&Select notification
// items." ticked it then waits, under the wait cursor, for a monitored entry's
// first subscription result and opens the machine's notification-settings
// page for the user.
class CommitPage : public Page {
public:
    explicit CommitPage(MonitoredEntry::EntryManager& model);
    ~CommitPage() override;

private:
    int GetNextPageKey() const override;
    void OnInitDialog() override;
    void OnActivate() override;
    bool Store() override;
    void DoDataExchange(DataExchange& exchange) override;
    void Recheck() override;

    // The new entry's ID; none when an entry has the host already.
    boost::optional<BasicID<long>> Append(const MonitoredEntry::EntryProperty& property);
    void OpenNotificationSettings(BasicID<long> id, const MonitoredEntry::EntryProperty& property);

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI::EntryWizard

#endif
