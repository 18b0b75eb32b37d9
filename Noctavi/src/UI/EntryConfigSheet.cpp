#include <Noctavi/UI/EntryConfigSheet.h>

#include <Noctavi/UI/DialogUnits.h>
#include <Noctavi/UI/EntryConfigMFPDlg.h>
#include <Noctavi/UI/EntryConfigSettingDlg.h>
#include <Noctavi/UI/EntryConfigUserDlg.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Strings.h>

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace UI {

namespace {

constexpr unsigned int kTitleString = 147;
constexpr std::array<unsigned int, 3> kTabStrings = {200, 201, 202};
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;
constexpr unsigned int kOkString = 218;
constexpr unsigned int kCancelString = 219;
// A sheet's buttons, in dialog units.
constexpr QSize kButtonSize(50, 14);

// A button of the sheet, named by its id.
QPushButton* AddButton(QDialog& sheet, QHBoxLayout& row, int id, unsigned int stringId)
{
    auto* button = new QPushButton(LoadString(stringId), &sheet);
    button->setObjectName(QString::number(id));
    button->setFixedSize(DialogUnits(sheet.font()).ToPixels(kButtonSize));
    row.addWidget(button);
    return button;
}

} // namespace

struct EntryConfigSheet::Pimpl {
    QTabWidget* tabs = nullptr;
    std::array<EntryConfigPage*, 3> pages{};
    bool initialised = false;
};

EntryConfigSheet::EntryConfigSheet(MonitoredEntry::EntryManager& model, BasicID<long> entryId, QWidget* parent)
    : QDialog(parent)
    , pimpl_(new Pimpl)
{
    setWindowModality(Qt::WindowModal);
    pimpl_->pages = {new EntryConfigMFPDlg(model, entryId), new EntryConfigUserDlg(model, entryId),
                     new EntryConfigSettingDlg(model, entryId)};
    pimpl_->tabs = new QTabWidget(this);
    for (EntryConfigPage* page : pimpl_->pages)
        pimpl_->tabs->addTab(page, page->windowTitle());
    connect(pimpl_->tabs, &QTabWidget::currentChanged, this,
            Guarded(this, [this](int index) { pimpl_->pages.at(index)->OnInitDialog(); }));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = AddButton(*this, *buttons, kOkButton, kOkString);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, Guarded(this, [this] { OnOK(); }));
    connect(AddButton(*this, *buttons, kCancelButton, kCancelString), &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(pimpl_->tabs);
    layout->addLayout(buttons);
}

EntryConfigSheet::~EntryConfigSheet() = default;

bool EntryConfigSheet::IsAllValidParams() const
{
    return std::all_of(pimpl_->pages.begin(), pimpl_->pages.end(),
                       [](const EntryConfigPage* page) { return page->IsValid(); });
}

void EntryConfigSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!std::exchange(pimpl_->initialised, true))
        RunGuarded(this, [this] { OnInitDialog(); });
}

void EntryConfigSheet::OnInitDialog()
{
    setWindowTitle(LoadString(kTitleString));
    SetWindowIcon(*this);
    for (int i = 0; i < pimpl_->tabs->count(); ++i)
        pimpl_->tabs->setTabText(i, LoadString(kTabStrings.at(i)));
    pimpl_->pages.at(pimpl_->tabs->currentIndex())->OnInitDialog();
}

void EntryConfigSheet::OnOK()
{
    for (EntryConfigPage* page : pimpl_->pages)
        page->OnOK();
    accept();
}

} // namespace UI
