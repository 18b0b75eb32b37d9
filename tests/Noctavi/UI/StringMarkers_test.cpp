#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/EntryManagerDlg.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/EventLogDlg.h>
#include <Noctavi/UI/MachinePickList.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/MessageBoxSeam.h>
#include <Noctavi/UI/PopupMenu.h>
#include <Noctavi/UI/SystemTrayIcon.h>

#include <support/ModelValues.h>
#include <support/ui/FakeTray.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ScopedCatalogue.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

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

// The caption and every text of labels, buttons (but arrows) and tabs but
// those that show data.
QStringList DialogTexts(const QWidget& dialog, const QStringList& dataControls)
{
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!dataControls.contains(label->objectName()) && !label->text().isEmpty())
            texts << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        const auto* arrow = qobject_cast<const QToolButton*>(button);
        if (!arrow || arrow->arrowType() == Qt::NoArrow)
            texts << button->text();
    }
    for (const QTabWidget* tabs : dialog.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    }
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
    UI::EventDlg dialog(MachineEvent::Event(MonitoredEntry::MFP(), MonitoredEntry::User(), property), std::nullopt);
    dialog.Bind(manager, BasicID<long>(0));
    dialog.show();
    const QStringList shown = DialogTexts(dialog, {"1073", "1074", "1075", "1076", "1077", "1126"});
    EXPECT_EQ(shown.size(), 16); // the caption, seven labels and eight buttons
    for (const QString& text : shown)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();
    EXPECT_EQ(UI::GetDlgItem<QLabel>(dialog, 1126).text(), "0" + ScopedCatalogue::Marker(211));

    // The detail settings sheet with every page shown; the ranges are
    // composed around their strings, as the labels' formats say.
    const BasicID<long> id = testvalues::Add(manager, testvalues::Property(L"192.0.2.80"));
    UI::EntryConfigSheet sheet(manager, id);
    sheet.show();
    sheet.findChild<QTabWidget*>()->setCurrentIndex(1);
    sheet.findChild<QTabWidget*>()->setCurrentIndex(2);
    const QStringList sheetTexts = DialogTexts(sheet, {"1087", "1092", "1094", "1098", "1099", "1120"});
    EXPECT_EQ(sheetTexts.size(), 23); // the caption, three tabs, eleven labels and eight buttons
    for (const QString& text : sheetTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, 1098).text(), "(@151@50)");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, 1099).text(), "@153@(1-60)");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, 1120).text(), "@203@(0-100000)");

    // The settings dialog and its list's column titles.
    const UI::EntryManagerDlg settings(manager);
    QStringList settingsTexts = DialogTexts(settings, {});
    const QAbstractItemModel& entries = *UI::GetDlgItem<QTreeView>(settings, 1082).model();
    for (int column = 0; column < entries.columnCount(); ++column)
        settingsTexts << entries.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(settingsTexts.size(), 11); // the caption, six buttons and four columns
    for (const QString& text : settingsTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    const UI::MachinePickList pickList(nullptr,
                                       [] { return boost::make_optional(std::vector<MonitoredEntry::MFP>()); });
    const QStringList pickListTexts = DialogTexts(pickList, {});
    EXPECT_EQ(pickListTexts.size(), 5); // the caption, one label and three buttons
    for (const QString& text : pickListTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    struct NoMonitors : Monitor::EventSignalObserver {
        void OnSignal(const Monitor::Signal&) override {}
    } monitors;
    const UI::EventLogDlg viewer(manager, monitors);
    const QStringList viewerTexts = DialogTexts(viewer, {"1102", "1103"});
    EXPECT_EQ(viewerTexts.size(), 7); // the caption, two labels and four buttons
    for (const QString& text : viewerTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    // The add-users wizard: its four pages and its own buttons; the caption
    // names the step after the string.
    UI::EntryWizard::Wizard wizard(manager);
    wizard.show();
    EXPECT_EQ(wizard.windowTitle(), ScopedCatalogue::Marker(104) + " 1/3");
    QStringList wizardTexts;
    for (const int page : wizard.pageIds())
        wizardTexts << DialogTexts(*wizard.page(page), {"1034", "1030", "1031"});
    for (const QWizard::WizardButton button :
         {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton, QWizard::CancelButton})
        wizardTexts << wizard.buttonText(button);
    EXPECT_EQ(wizardTexts.size(), 26); // four captions, eighteen labels and buttons, four wizard buttons
    for (const QString& text : wizardTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();
}

} // namespace
