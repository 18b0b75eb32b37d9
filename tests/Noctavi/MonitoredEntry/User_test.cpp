#include <Noctavi/MonitoredEntry/User.h>

#include <pelmo/fatal_error.hpp>

#include <gtest/gtest.h>

namespace {

using MonitoredEntry::Password;
using MonitoredEntry::User;

TEST(Password, HoldsOnlyCipherAndGivesTheTextBack)
{
    EXPECT_TRUE(Password().GetData().empty());
    EXPECT_EQ(Password().GetText(), L"");

    const Password password(L"secret \u00e9");
    EXPECT_FALSE(password.GetData().empty());
    EXPECT_EQ(password.GetText(), L"secret \u00e9");

    Password restored;
    restored.SetData(password.GetData());
    EXPECT_EQ(restored.GetText(), L"secret \u00e9");
}

TEST(Password, ValidUpTo28AsciiCharacters)
{
    EXPECT_TRUE(Password().IsValid());
    EXPECT_TRUE(Password(L"").IsValid());
    EXPECT_TRUE(Password(std::wstring(28, L'x')).IsValid());
    EXPECT_FALSE(Password(std::wstring(29, L'x')).IsValid());
    EXPECT_FALSE(Password(L"pa\u00dfword").IsValid());
    EXPECT_FALSE(Password(L"\U0001F511").IsValid());
    EXPECT_FALSE(Password(L"pass\r\nword").IsValid());
    EXPECT_FALSE(Password(L"del\x7f").IsValid());
}

TEST(Password, EqualWhenTheTextsAre)
{
    EXPECT_EQ(Password(), Password(L""));
    EXPECT_EQ(Password(L"pw"), Password(L"pw"));
    EXPECT_NE(Password(), Password(L"pw"));
    Password damaged;
    damaged.SetData({1, 2, 3});
    EXPECT_EQ(damaged, damaged);
    EXPECT_NE(damaged, Password());
}

TEST(Password, DamagedCipherThrowsThroughTheTest)
{
    Password password;
    password.SetData({1, 2, 3});
    EXPECT_THROW(password.IsValid(), pelmo::fatal_error);
}

TEST(User, Validity)
{
    EXPECT_FALSE(User().IsValid());
    EXPECT_TRUE(User(boost::none, L"alice", Password()).IsValid());
    EXPECT_TRUE(User(std::wstring(L"Alice"), L"alice", Password(L"pw")).IsValid());
    EXPECT_FALSE(User(std::wstring(), L"alice", Password()).IsValid());
    EXPECT_FALSE(User(boost::none, L"", Password()).IsValid());
    EXPECT_FALSE(User(boost::none, L"alice", Password(std::wstring(29, L'x'))).IsValid());
    EXPECT_FALSE(User(boost::none, L"alice\n", Password()).IsValid());
    EXPECT_FALSE(User(boost::none, std::wstring(L"al\0ice", 6), Password()).IsValid());
    EXPECT_TRUE(User(boost::none, L"b\u00e9a", Password()).IsValid());
}

TEST(User, EqualityComparesNamesExactlyAndPasswordsByText)
{
    const User base(std::wstring(L"Alice"), L"alice", Password(L"pw"));
    EXPECT_EQ(base, User(std::wstring(L"Alice"), L"alice", Password(L"pw")));
    EXPECT_NE(base, User(boost::none, L"alice", Password(L"pw")));
    EXPECT_NE(User(boost::none, L"alice", Password()), User(std::wstring(), L"alice", Password()));
    EXPECT_NE(base, User(std::wstring(L"Alice"), L"Alice", Password(L"pw")));
    EXPECT_NE(base, User(std::wstring(L"Alice"), L"alice", Password(L"PW")));
    EXPECT_EQ(User(boost::none, L"alice", Password()), User(boost::none, L"alice", Password(L"")));
}

} // namespace
