#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/MachinePickList.h>
#include <Noctavi/UI/PickList.h>
#include <Noctavi/Utility/SearchAgent.h>

#include <support/FakeResponder.h>
#include <support/ScopedSearchOptions.h>
#include <support/ui/DialogControls.h>

#include <pelmo/communication_failure.hpp>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <functional>

namespace {

using support::FakeResponder;
using Type = support::PublishedService::Type;

enum { kMachines = 1023, kRefresh = 1041, kOk = 1, kCancel = 2 };

UI::MachinePickList* ShownPickList()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* list = dynamic_cast<UI::MachinePickList*>(window);
        if (list && list->isVisible())
            return list;
    }
    return nullptr;
}

// Runs the interaction once, from the list's own event loop, as soon as the
// list shows: its first round runs before it does.
void WhenShown(const std::function<void(UI::MachinePickList&)>& interact)
{
    auto* poll = new QTimer(QCoreApplication::instance());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(poll, &QTimer::timeout, [poll, interact, deadline] {
        UI::MachinePickList* list = ShownPickList();
        if (!list && std::chrono::steady_clock::now() < deadline)
            return;
        poll->stop();
        poll->deleteLater();
        ASSERT_TRUE(list) << "no pick list showed";
        interact(*list);
    });
    poll->start(5);
}

QStringList Lines(const UI::MachinePickList& list)
{
    QStringList lines;
    const auto& machines = UI::GetDlgItem<QListWidget>(list, kMachines);
    for (int row = 0; row < machines.count(); ++row)
        lines << machines.item(row)->text();
    return lines;
}

using support::Click;

class MachinePickListTest : public testing::Test {
protected:
    MachinePickListTest()
    {
        responder_.Publish({"127.0.0.51", "one.local", {{Type::Ipp, "First MFP", 631, {}}}});
        responder_.Publish({"127.0.0.52", "two.local", {{Type::Http, "Second MFP", 8080, {}}}});
    }

    FakeResponder responder_{"127.0.0.50"};
    const support::ScopedSearchOptions searches_{responder_};
    const UI::PickListSeam::Override realList_{UI::ShowPickList(), &UI::ExecPickList};
    SearchAgent agent_{UI::PickListWindow(nullptr)};
};

TEST_F(MachinePickListTest, RefreshingAndPickingAMachineMakesSearchGiveIt)
{
    WhenShown([this](UI::MachinePickList& list) {
        EXPECT_FALSE(UI::GetDlgItem(list, kOk).isEnabled());
        responder_.Publish({"127.0.0.53", "three.local", {{Type::Ipp, "Third MFP", 631, {"ty=Maker Z"}}}});
        Click(list, kRefresh);
        const QStringList lines = Lines(list);
        ASSERT_EQ(lines.size(), 3) << lines.join(", ").toStdString();
        UI::GetDlgItem<QListWidget>(list, kMachines).setCurrentRow(lines.indexOf("Third MFP"));
        EXPECT_TRUE(UI::GetDlgItem(list, kOk).isEnabled());
        Click(list, kOk);
    });
    ASSERT_TRUE(agent_.Probe());
    responder_.Withdraw("127.0.0.53");
    const MonitoredEntry::MFP picked = agent_.Search();
    EXPECT_EQ(picked.GetHost(), L"127.0.0.53");
    EXPECT_EQ(picked.GetName().value_or(L""), L"Third MFP");
    EXPECT_FALSE(ShownPickList());
}

TEST_F(MachinePickListTest, CancellingOrAFailedRoundPicksNothing)
{
    WhenShown([](UI::MachinePickList& list) {
        EXPECT_EQ(Lines(list).size(), 2);
        UI::GetDlgItem<QListWidget>(list, kMachines).setCurrentRow(0);
        Click(list, kCancel);
    });
    EXPECT_FALSE(agent_.Probe());

    const support::ScopedSearchOptions unusable(discovery::endpoint{"127.0.0.1", 0});
    EXPECT_THROW(agent_.Probe(), pelmo::communication_failure);
    EXPECT_FALSE(ShownPickList());
}

} // namespace
