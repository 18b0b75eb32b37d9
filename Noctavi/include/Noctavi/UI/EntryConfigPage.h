#ifndef NOCTAVI_UI_ENTRYCONFIGPAGE_H
#define NOCTAVI_UI_ENTRYCONFIGPAGE_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/UI/DDX/DataExchange.h>

#include <QWidget>

#include <boost/shared_ptr.hpp>

#include <initializer_list>

namespace MonitoredEntry {
class Entry;
class EntryManager;
} // namespace MonitoredEntry

namespace UI {

struct DialogTemplate;

// A page of the detail settings sheet, built from its dialog table. It reads
// its part of the entry from the model when it is first shown and writes it
// back, in a transaction of its own, when the sheet is closed with OK; a page
// never shown neither reads nor writes. The sheet learns of a vanished entry
// when a page next reads or writes, and closes.
class EntryConfigPage : public QWidget {
public:
    ~EntryConfigPage() override;

    // Reads the page's part of the entry and shows it; only the first call
    // does anything.
    void OnInitDialog();
    bool IsLoaded() const;
    // The fields, as last read from the controls, make a valid part; a page
    // that has not been shown counts as valid.
    bool IsValid() const;
    // Stores the page's part into the entry, when the page was shown. An
    // entry that would then share its host with another monitored entry is
    // stored with its monitoring off.
    void OnOK();

    // Whether every page of the sheet is valid.
    bool IsAllValidParams() const;
    void EnableSheetButton(int id, bool enable);
    // Closes the sheet once the current handler has ended.
    void OnErasedEntry();

protected:
    EntryConfigPage(MonitoredEntry::EntryManager& model, BasicID<long> entryId, const DialogTemplate& table);

    virtual void DoDataExchange(DataExchange& exchange) = 0;
    // Sets what the fields do not show: ranges, formatted labels.
    virtual void InitControls() {}
    // Copies the page's part of the entry into the fields.
    virtual void Load(const MonitoredEntry::Entry& entry) = 0;
    // Puts the fields into a copy of the entry.
    virtual void Store(MonitoredEntry::Entry& entry) const = 0;
    virtual bool IsValidPart() const = 0;
    // Sets the controls that depend on other fields.
    virtual void UpdateDependentControls() {}

    void UpdateData(DataExchange::Direction direction);
    // Every edit's change and check box's click of the controls runs OnChange.
    void WatchChanges(std::initializer_list<int> controlIds);
    // Reads the controls, then refreshes the dependent controls and the OK button.
    void OnChange();
    // Refreshes the controls that depend on the fields, and the sheet's OK
    // button from the validity of every page.
    void RefreshDependentControls();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
