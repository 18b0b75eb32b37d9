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

// The string's "%s" filled with the value.
QString FormatString(unsigned int id, const QString& value)
{
    return LoadString(id).replace(QStringLiteral("%s"), value);
}

} // namespace

AboutDlg::AboutDlg()
{
    BuildDialog(*this, kDialog);
    SetWindowIcon(*this);
    GetDlgItem<QLabel>(*this, kIcon).setPixmap(LoadIconResource(kApplicationIcon).pixmap(kIconSize));
    const QString version = QString::fromUtf8(VersionInfo::kFileVersion);
    GetDlgItem<QLabel>(*this, kVersion).setText(FormatString(kVersionString, version));
    // Read last, so that a text missing from the catalogue above is marked.
    GetDlgItem<QLabel>(*this, kLanguage)
        .setText(FormatString(kLanguageString, QString::fromStdWString(LrcCatalogue::GetVersionText())));
    GetDlgItem<QLabel>(*this, kCopyright).setText(QString::fromUtf8(VersionInfo::kLegalCopyright));
    connect(&GetDlgItem<QPushButton>(*this, kOk), &QPushButton::clicked, this, &QDialog::accept);
}

AboutDlg::~AboutDlg() = default;

} // namespace UI
