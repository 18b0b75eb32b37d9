#include "../MonitoredEntry/ModelValues.h"

#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/MachinePickList.h>
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
#include <QTabWidget>
#include <QToolButton>

#include <set>

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

// Every label's and button's text of a window but those of the controls
// that show data, its title and its tab texts.
QStringList WindowTexts(const QWidget& window, const std::set<int>& dataControls = {})
{
    QStringList texts{window.windowTitle()};
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (dataControls.count(control->objectName().toInt()))
            continue;
        const auto* arrow = qobject_cast<const QToolButton*>(control);
        if (const auto* label = qobject_cast<const QLabel*>(control))
            texts << label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(control); button && !arrow)
            texts << button->text();
    }
    if (const auto* tabs = window.findChild<QTabWidget*>()) {
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
    const QStringList texts = MenuTexts(menu.GetMenu());
    EXPECT_EQ(texts.size(), 5);
    for (const QString& text : texts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    const support::FakeTray tray;
    const UI::SystemTrayIcon icon;
    EXPECT_TRUE(ScopedCatalogue::IsMarker(tray.Backend().toolTip));

    const BasicID<long> id = testvalues::Add(manager, testvalues::Property(L"192.0.2.80"));
    UI::EntryConfigSheet sheet(manager, id);
    sheet.show();
    sheet.findChild<QTabWidget*>()->setCurrentIndex(1);
    sheet.findChild<QTabWidget*>()->setCurrentIndex(2);
    enum { kMachineName = 1087, kUserName = 1092, kAccountId = 1094, kMaxLabel = 1098, kMinutesLabel = 1099,
           kSecondsLabel = 1120 };
    const QStringList sheetTexts =
        WindowTexts(sheet, {kMachineName, kUserName, kAccountId, kMaxLabel, kMinutesLabel, kSecondsLabel});
    EXPECT_EQ(sheetTexts.size(), 23);
    for (const QString& text : sheetTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();
    // The ranges are composed around the strings, as the labels' formats say.
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, kMaxLabel).text(), "(@151@50)");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, kMinutesLabel).text(), "@153@(1-60)");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(sheet, kSecondsLabel).text(), "@203@(0-100000)");

    const UI::MachinePickList pickList(nullptr,
                                       [] { return boost::make_optional(std::vector<MonitoredEntry::MFP>()); });
    const QStringList pickListTexts = WindowTexts(pickList);
    EXPECT_EQ(pickListTexts.size(), 5);
    for (const QString& text : pickListTexts)
        EXPECT_TRUE(ScopedCatalogue::IsMarker(text)) << text.toStdString();

    const support::MessageBoxRecorder recorder;
    UI::Message::SavingFailed();
    UI::Message::Affirmation(213);
    for (const UI::MessageBoxRequest& request : recorder.Requests()) {
        EXPECT_TRUE(ScopedCatalogue::IsMarker(request.text)) << request.text.toStdString();
        EXPECT_TRUE(ScopedCatalogue::IsMarker(UI::CreateMessageBox(request)->windowTitle()));
    }
}

} // namespace
