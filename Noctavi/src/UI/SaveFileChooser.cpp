#include <Noctavi/UI/SaveFileChooser.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QStringList>

namespace UI {

namespace {

QString Exec(const SaveFileRequest& request)
{
    // The owner may be deleted while the dialog waits, and the dialog with it.
    QPointer<QFileDialog> dialog(new QFileDialog(request.owner));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(request.filter);
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->setDirectory(request.folder);
    dialog->setWindowModality(Qt::WindowModal);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    const QString path = accepted && dialog ? dialog->selectedFiles().value(0) : QString();
    delete dialog;
    return path;
}

} // namespace

QString GetSaveFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

SaveFileChooserSeam& ChooseSaveFile()
{
    static SaveFileChooserSeam seam(&Exec);
    return seam;
}

} // namespace UI
