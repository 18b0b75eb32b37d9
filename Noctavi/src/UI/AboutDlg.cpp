#include <Noctavi/UI/AboutDlg.h>

#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/Utility/LrcCatalogue.h>
#include <Noctavi/VersionInfo.h>

#include <dialogs/AboutDlg.h>

#include <QLabel>
#include <QPushButton>

namespace UI {

using namespace AboutDlgResource;

namespace {

constexpr unsigned int kVersionString = 216;
constexpr unsigned int kLanguageString = 217;
// An icon control shows the icon at its own size.
constexpr int kIconSize = 32;

// The format's "%s" filled with the value.
QString Fill(QString format, const QString& value)
{
    return format.replace(QStringLiteral("%s"), value);
}

} // namespace

AboutDlg::AboutDlg()
{
    BuildDialog(*this, kDialog);
    SetWindowIcon(*this);
    GetDlgItem<QLabel>(*this, kIcon).setPixmap(LoadIconResource(kApplicationIcon).pixmap(kIconSize));
    GetDlgItem<QLabel>(*this, kVersion)
        .setText(Fill(LoadString(kVersionString), QString::fromUtf8(VersionInfo::kFileVersion)));
    const QString language = LoadString(kLanguageString);
    // Read after every text of the box, so that one missing from the
    // catalogue is marked.
    GetDlgItem<QLabel>(*this, kLanguage)
        .setText(Fill(language, QString::fromStdWString(LrcCatalogue::GetVersionText())));
    GetDlgItem<QLabel>(*this, kCopyright).setText(QString::fromUtf8(VersionInfo::kLegalCopyright));
    connect(&GetDlgItem<QPushButton>(*this, kOk), &QPushButton::clicked, this, &QDialog::accept);
}

AboutDlg::~AboutDlg() = default;

} // namespace UI
