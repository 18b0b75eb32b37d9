#include "../MonitoredEntry/ModelValues.h"

#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/PopupEventDlg.h>

#include <support/ScopedSettings.h>
#include <support/ui/ProcessEventsUntil.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

enum { kInfo = 1076 };

class PopupEventDlgTest : public ::testing::Test {
protected:
    // On an event without document of an entry with the pop-up time.
    std::unique_ptr<UI::PopupEventDlg> Open(int popupTime)
    {
        testvalues::Change(model, entry, [&](MonitoredEntry::EntryProperty& property) {
            MonitoredEntry::Config config = property.GetConfig();
            config.SetEraseTime(popupTime);
            property.SetConfig(config);
        });
        const MonitoredEntry::ModelLock lock(model);
        const MonitoredEntry::EntryProperty& property = model.GetEntryDB().GetEntry(entry).GetProperty();
        auto popup = std::make_unique<UI::PopupEventDlg>(
            MachineEvent::Event(property.GetMFP(), property.GetUser(), testvalues::Event(L"Scan")), QImage());
        popup->Bind(model, entry, BasicID<long>(0));
        popup->show();
        return popup;
    }

    const support::ScopedSettings settings;
    MonitoredEntry::EntryManager model;
    const BasicID<long> entry = testvalues::Add(model, testvalues::Property(L"127.0.0.42"));
};

// The offscreen platform activates every window it shows, so only the request
// not to take the keyboard can be seen here.
TEST_F(PopupEventDlgTest, StaysAboveOtherWindowsWithItsTitleBarAndWhereTheUserMovesIt)
{
    const auto popup = Open(0);
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(popup->testAttribute(Qt::WA_ShowWithoutActivating));
    popup->move(10, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(popup->pos(), QPoint(10, 20));
}

// Qt runs due timers in the order they fall due, so a pop-up still open once
// a timer of twice its time, started after it, has fired has no timer left.
// Coarse timers may fire up to 5% early, hence the lower bound of a closing.
TEST_F(PopupEventDlgTest, ItsTimerClosesItUnlessTheTimeIs0OrTheMouseMovedOverIt)
{
    const struct {
        const char* name;
        int popupTime;
        QEvent::Type movement; // None: no movement
        bool overControl;      // else over the dialog's frame
        bool closes;
    } cases[] = {
        {"no movement", 300, QEvent::None, false, true},
        {"time 0", 0, QEvent::None, false, false},
        {"over a control", 300, QEvent::MouseMove, true, false},
        {"over the frame", 300, QEvent::NonClientAreaMouseMove, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Clock::time_point opened = Clock::now();
        const auto popup = Open(c.popupTime);
        if (c.movement != QEvent::None) {
            QMouseEvent move(c.movement, QPointF(2, 2), QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QWidget* target = c.overControl ? &UI::GetDlgItem(*popup, kInfo) : popup.get();
            QCoreApplication::sendEvent(target, &move);
        }
        if (c.closes) {
            ASSERT_TRUE(support::ProcessEventsUntil([&] { return !popup->isVisible(); }));
            EXPECT_GE(Clock::now() - opened, std::chrono::milliseconds(c.popupTime * 95 / 100));
            EXPECT_EQ(popup->result(), QDialog::Rejected);
            continue;
        }
        bool referenceFired = false;
        QTimer::singleShot(2 * std::max(c.popupTime, 100), [&] { referenceFired = true; });
        ASSERT_TRUE(support::ProcessEventsUntil([&] { return referenceFired; }));
        EXPECT_TRUE(popup->isVisible());
    }
}

} // namespace
