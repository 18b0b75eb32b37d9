#ifndef NOCTAVI_UI_ENTRYWIZARD_PAGE_H
#define NOCTAVI_UI_ENTRYWIZARD_PAGE_H

#include <Noctavi/UI/DDX/DataExchange.h>

#include <QFlags>
#include <QWizardPage>

#include <boost/shared_ptr.hpp>

#include <initializer_list>

namespace MonitoredEntry {
class EntryProperty;
}

namespace UI {

struct DialogTemplate;

namespace EntryWizard {

class Wizard;

// A page of the add-users wizard, built from its dialog table. Each time the wizard moves forward onto it, it runs its
// activation hook and sets the wizard's buttons; Next (or Finish) first runs
// its store hook, which writes what the page holds into the wizard's entry
// property and may keep the wizard on the page. Back returns to the page that
// led here and keeps what was typed on both.
class Page : public QWizardPage {
public:
    enum WizardButton { Back = 0x1, Next = 0x2, Finish = 0x4 };
    Q_DECLARE_FLAGS(WizardButtons, WizardButton)

    ~Page() override;

    // The step and caption the wizard shows while the page is current:
    // "Add Monitored Users Wizard 2/3".
    QString GetTitle() const;

    // What a new entry starts with, from the settings.
    const MonitoredEntry::EntryProperty& GetDefaultEntryProperty() const;
    // The wizard's entry property being built. These and SetWizardButtons
    // throw SystemError (ENOENT) for a page outside a wizard.
    const MonitoredEntry::EntryProperty& GetEntryProperty() const;
    void SetEntryProperty(const MonitoredEntry::EntryProperty& property);
    // The buttons the wizard offers on this page; Back is offered only where
    // there is a page to go back to.
    void SetWizardButtons(WizardButtons buttons);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;
    bool isComplete() const override;

protected:
    Page(int step, const DialogTemplate& table);

    Wizard& GetWizard() const;
    // The key of the page that Next leads to; -1 for the last page.
    virtual int GetNextPageKey() const = 0;
    // Sets the controls up when the page is first shown.
    virtual void OnInitDialog() = 0;
    virtual void OnActivate() {}
    // Writes the page's fields into the wizard's entry property; false keeps
    // the wizard on the page.
    virtual bool Store() = 0;

    virtual void DoDataExchange(DataExchange& exchange) = 0;
    void UpdateData(DataExchange::Direction direction);
    // The controls, when last read, held a text that is no value of its
    // field (a port beyond the int range).
    bool HasInvalidField() const;
    // Every edit's change and check box's click of the controls reads the
    // controls and runs Recheck.
    void WatchChanges(std::initializer_list<int> controlIds);
    // Sets the controls and buttons that depend on the fields.
    virtual void Recheck() = 0;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Page::WizardButtons)

} // namespace EntryWizard

} // namespace UI

#endif
