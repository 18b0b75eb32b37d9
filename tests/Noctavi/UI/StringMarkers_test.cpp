#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/MessageBox.h>
#include <Noctavi/UI/PopupMenu.h>
#include <Noctavi/UI/SystemTrayIcon.h>

#include <support/ui/FakeTray.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ScopedCatalogue.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>


namespace {

using support::ScopedCatalogue;

// Every text that a menu shows, its submenus' included.
QStringList MenuTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        texts << action->text();
        if (action->menu())
            texts << MenuTexts(*action->menu());
    }
    return texts;
}

// The caption and every text of labels and buttons but those that show data.
QStringList DialogTexts(const QWidget& dialog, const QStringList& dataControls)
{
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!dataControls.contains(label->objectName()) && !label->text().isEmpty())
            texts << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    return texts;
}

// With a catalogue that replaces every string of the table by a marker, any
// text that was written into the code instead of taken from the table shows.
// Each dialog the program gains is added here.
TEST(StringMarkers, EveryShownTextComesFromTheStringTable)
{
    const ScopedCatalogue catalogue(ScopedCatalogue::Markers());

    MonitoredEntry::EntryManager manager;
    const UI::PopupMenu menu(manager);
    QStringList texts = MenuTexts(menu.GetMenu());
    EXPECT_EQ(texts.size(), 5);

    const support::FakeTray tray;
    const UI::SystemTrayIcon icon;
    EXPECT_TRUE(ScopedCatalogue::IsMarker(tray.Backend().toolTip));

    const UI::AboutDlg about;
    texts << DialogTexts(about, {"1112"});
    EXPECT_EQ(texts.size(), 5 + 5);
    for (const QString& text : texts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    const support::MessageBoxRecorder recorder;
    UI::Message::SavingFailed();
    UI::Message::Affirmation(213);
    for (const UI::MessageBoxRequest& request : recorder.Requests()) {
        EXPECT_TRUE(ScopedCatalogue::IsMarker(request.text)) << request.text.toStdString();
        EXPECT_TRUE(ScopedCatalogue::IsMarker(UI::CreateMessageBox(request)->windowTitle()));
    }

    // The event details dialog, its thumbnail failed so that it says the
    // document has gone.
    const MonitoredEntry::EventProperty property(L"Scan", L"Contract", std::wstring(L"http://x/t"),
                                                 std::wstring(L"1"), RSS::EventTime("Tue, 09 Dec 2008 10:05:07 +0900"));
    UI::EventDlg dialog(MachineEvent::Event(MonitoredEntry::MFP(), MonitoredEntry::User(), property), QImage());
    dialog.Bind(manager, BasicID<long>(0), BasicID<long>(0));
    dialog.show();
    const QStringList shown = DialogTexts(dialog, {"1073", "1074", "1075", "1076", "1077", "1126"});
    EXPECT_EQ(shown.size(), 16); // the caption, seven labels and eight buttons
    for (const QString& text : shown)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();
    EXPECT_EQ(UI::GetDlgItem<QLabel>(dialog, 1126).text(), "0" + ScopedCatalogue::Marker(211));
}

} // namespace
