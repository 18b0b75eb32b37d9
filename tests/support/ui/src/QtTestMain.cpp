#include <Noctavi/UI/MessageBoxSeam.h>
#include <Noctavi/UI/PickList.h>
#include <Noctavi/UI/SaveFileChooser.h>
#include <Noctavi/UI/ShellOpener.h>

#include <support/ScopedSearchOptions.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <gmock/gmock.h>

namespace {

// What would block a test or start a program fails it instead; a test that
// means to show a box or open a file puts its own stand-in over these.
QMessageBox::StandardButton UnexpectedBox(const UI::MessageBoxRequest& request)
{
    ADD_FAILURE() << "a message box would wait for an answer: " << request.text.toStdString();
    return QMessageBox::NoButton;
}

void UnexpectedOpen(const std::wstring& target)
{
    ADD_FAILURE() << "a program would be started for " << QString::fromStdWString(target).toStdString();
}

QString UnexpectedSaveDialog(const UI::SaveFileRequest&)
{
    ADD_FAILURE() << "a save dialog would wait for an answer";
    return QString();
}

boost::optional<std::size_t> UnexpectedPickList(const UI::PickListRequest&)
{
    ADD_FAILURE() << "a machine pick list would wait for an answer";
    return boost::none;
}

// The program's exit path run with no event loop leaves QCoreApplication::exit
// in force, so that every later exec() returns at once; only exec clears it.
class ExitReset : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override
    {
        QEventLoop probe;
        QTimer::singleShot(0, &probe, [&probe] { probe.exit(0); });
        if (probe.exec() == 0)
            return;
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
        QApplication::exec();
    }
};

} // namespace

// The main of the user-interface tests: one QApplication for the whole run,
// on the offscreen platform so that no display is needed and nothing shows.
int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const UI::MessageBoxSeam::Override boxes(UI::ShowMessageBox(), &UnexpectedBox);
    const UI::ShellOpenerSeam::Override opener(UI::OpenInShell(), &UnexpectedOpen);
    const UI::SaveFileChooserSeam::Override saveDialog(UI::ChooseSaveFile(), &UnexpectedSaveDialog);
    const UI::PickListSeam::Override pickList(UI::ShowPickList(), &UnexpectedPickList);
    // A search that a test does not point at its own fake responder finds
    // nothing and sends nothing off the machine.
    const support::ScopedSearchOptions nowhere(support::NowhereTarget());
    testing::UnitTest::GetInstance()->listeners().Append(new ExitReset);
    return RUN_ALL_TESTS();
}
