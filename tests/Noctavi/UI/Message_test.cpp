#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/MessageBoxSeam.h>
#include <Noctavi/UI/Strings.h>

#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ScopedCatalogue.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <memory>
#include <stdexcept>

namespace {

using support::MessageBoxRecorder;

TEST(Message, EachBoxShowsItsStringWithItsIconTitledWithTheProgramsName)
{
    const struct {
        void (*show)();
        const char* text;
        QMessageBox::Icon icon;
    } boxes[] = {
        {UI::Message::ApplicationInitFailed, "Failed to initialize an application.", QMessageBox::Warning},
        {UI::Message::CommunicationError, "Communication error occurred.", QMessageBox::Warning},
        {UI::Message::FileAccessFailed, "Failed to access a file stored in Stavelock.", QMessageBox::Warning},
        {UI::Message::SavingFailed, "Saving failed.", QMessageBox::Warning},
        {UI::Message::LoadSettingsFailed, "Failed to load the settings.", QMessageBox::Warning},
        {UI::Message::SaveSettingsFailed, "Failed to save the settings.", QMessageBox::Warning},
        {UI::Message::NoUsersRegistered, "Users have not been registered on this machine.", QMessageBox::Information},
        {UI::Message::NoDeleteAuthority, "There is not authority to delete.", QMessageBox::Warning},
    };
    for (const auto& box : boxes) {
        const MessageBoxRecorder recorder;
        box.show();
        ASSERT_EQ(recorder.Requests().size(), 1u) << box.text;
        const UI::MessageBoxRequest& request = recorder.Requests()[0];
        EXPECT_EQ(request.text, box.text);
        EXPECT_EQ(request.icon, box.icon) << box.text;
        EXPECT_EQ(request.buttons, QMessageBox::Ok) << box.text;

        const std::unique_ptr<QMessageBox> shown = UI::CreateMessageBox(request);
        EXPECT_EQ(shown->windowTitle(), "Noctavi");
        EXPECT_EQ(shown->text(), box.text);
        EXPECT_EQ(shown->textFormat(), Qt::PlainText);
        EXPECT_EQ(shown->windowModality(), Qt::WindowModal) << "the tray and other windows stay usable";
    }
}

TEST(Message, ACatalogueEntryReplacesTheText)
{
    const support::ScopedCatalogue catalogue({{116, u"Speichern der Einstellungen fehlgeschlagen."}});
    const MessageBoxRecorder recorder;
    UI::Message::SaveSettingsFailed();
    ASSERT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(recorder.Requests()[0].text, "Speichern der Einstellungen fehlgeschlagen.");
}

TEST(Affirmation, AsksWithYesAndNo)
{
    QWidget owner;
    owner.show();
    QApplication::setActiveWindow(&owner);
    const MessageBoxRecorder recorder(QMessageBox::Yes);
    EXPECT_TRUE(UI::Message::Affirmation(213));
    ASSERT_EQ(recorder.Requests().size(), 1u);
    const UI::MessageBoxRequest& request = recorder.Requests()[0];
    EXPECT_EQ(request.text, "Do you want to delete the document?");
    EXPECT_EQ(request.icon, QMessageBox::Question);
    EXPECT_EQ(request.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(request.parent, &owner) << "modal to the active window";
}

TEST(Affirmation, EscapeAnswersNo)
{
    const std::unique_ptr<QMessageBox> box =
        UI::CreateMessageBox({UI::LoadString(213), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    box->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box.get(), &escape);
    EXPECT_EQ(box->clickedButton(), box->button(QMessageBox::No));
    EXPECT_FALSE(box->isVisible());
}

TEST(Guard, AThrowingHandlerShowsTheUnsupportedOperationAndTheWindowRunsOn)
{
    const MessageBoxRecorder recorder;
    QWidget window;
    QPushButton button(&window);
    window.show();
    int completed = 0;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &window, UI::Guarded(&window, [&] {
                         if (++clicks == 1)
                             throw std::runtime_error("first click fails");
                         ++completed;
                     }));
    QObject::connect(&button, &QPushButton::clicked, &window, UI::Guarded(&window, [](bool) { throw 42; }));

    button.click();
    ASSERT_EQ(recorder.Requests().size(), 2u);
    for (const UI::MessageBoxRequest& request : recorder.Requests()) {
        EXPECT_EQ(request.text, "An unsupported operation was attempted.");
        EXPECT_EQ(request.parent, &window);
    }
    EXPECT_TRUE(window.isVisible());

    button.click();
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(recorder.Requests().size(), 3u);
    EXPECT_TRUE(UI::RunGuarded(nullptr, [] {}));
}

} // namespace
