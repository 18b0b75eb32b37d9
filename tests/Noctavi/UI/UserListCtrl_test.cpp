#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/User.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/UserListCtrl.h>

#include <support/FakeInformationServer.h>
#include <support/ui/ListViewHost.h>

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTreeView>

namespace {

class UserList : public ::testing::Test {
protected:
    UserList()
    {
        list_.AddColumns({"IndexColumn", "NameColumn"}, 112);
        list_.GetSource().ReplaceUsers({{7, "Ann Example", "ann"}, {1000, "", "bob"}, {999, "Cy", "cy"}});
        list_.Refresh();
    }

    support::ListViewHost host_;
    UI::UserListCtrl list_{host_.View()};
};

// Numbers are padded to three digits and sort as numbers, not as their texts.
TEST_F(UserList, ShowsPaddedNumbersAndNamesInNumberOrder)
{
    EXPECT_EQ(host_.ColumnTexts(0), QStringList({"007", "999", "1000"}));
    EXPECT_EQ(host_.ColumnTexts(1), QStringList({"Ann Example", "Cy", "bob"}));
    EXPECT_EQ(list_.headerData(0, Qt::Horizontal).toString(), "No.");
    EXPECT_EQ(list_.headerData(1, Qt::Horizontal).toString(), "User Name");
    EXPECT_EQ(host_.View().header()->sectionSize(1), 443); // 380 * 7 / 6

    Q_EMIT host_.View().header()->sectionClicked(0);
    EXPECT_EQ(host_.ColumnTexts(0), QStringList({"1000", "999", "007"}));
    Q_EMIT host_.View().header()->sectionClicked(1);
    EXPECT_EQ(host_.ColumnTexts(1), QStringList({"bob", "Cy", "Ann Example"}));
}

// The keys are the users' places, which stay the same when other users come:
// every refresh shows the new users.
TEST_F(UserList, RefreshShowsReplacedUsers)
{
    list_.GetSource().ReplaceUsers({{1, "Dee", "dee"}, {2, "Eve", "eve"}, {3, "Fay", "fay"}});
    list_.Refresh();
    EXPECT_EQ(host_.ColumnTexts(1), QStringList({"Dee", "Eve", "Fay"}));

    list_.GetSource().ReplaceUsers({});
    list_.Refresh();
    EXPECT_EQ(list_.rowCount(), 0);
}

TEST(UserListSource, TakesTheMachinesUsersAndKeepsThemWhenTheRequestFails)
{
    support::FakeInformationServer server{support::FakeMachine::Options("127.0.0.61")};
    server.AddAccount({"ann", "Ann", "secret"});
    const MonitoredEntry::MFP machine(boost::none, L"127.0.0.61", server.Machine().Port(), boost::none, false);
    UI::UserListSource source;
    source.SetUsers(machine);
    ASSERT_EQ(source.GetKeys()->size(), 1u);

    server.ForceResult("ERROR");
    EXPECT_THROW(source.SetUsers(machine), HTTP::Error);
    ASSERT_EQ(source.GetKeys()->size(), 1u);
    EXPECT_EQ(source.GetUser(0).GetDisplayName(), "Ann");
}

} // namespace
