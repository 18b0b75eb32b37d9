#include <Noctavi/IS/User.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/Formatting.h>

#include <support/ui/ScopedCatalogue.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Widths = std::vector<int>;

TEST(ParseWidthList, ReadsTheBuiltInListsAndSkipsEmptyPieces)
{
    EXPECT_EQ(UI::ParseWidthList(106), (Widths{170, 100, 150, 115}));
    EXPECT_EQ(UI::ParseWidthList(111), (Widths{36, 120, 120}));
    EXPECT_EQ(UI::ParseWidthList(127), (Widths{36, 130, 150, 250}));
    EXPECT_EQ(UI::ParseWidthList(112), (Widths{80, 380}));
}

TEST(ParseWidthList, TakesACatalogueListAndFallsBackWhenItDoesNotParse)
{
    const support::ScopedCatalogue catalogue({{106, u",80,,380,"}, {111, u"80, 380"}, {127, u"36,wide"}});
    EXPECT_EQ(UI::ParseWidthList(106), (Widths{80, 380}));
    EXPECT_EQ(UI::ParseWidthList(111), (Widths{36, 120, 120}));
    EXPECT_EQ(UI::ParseWidthList(127), (Widths{36, 130, 150, 250}));
}

TEST(FormatEventTime, ShowsTheMachinesTimeWithOrWithoutSeconds)
{
    const struct {
        const char* published;
        const char* shown;
    } cases[] = {
        {"Tue, 09 Dec 2008 10:15:30 +0900", "2008/12/09 10:15:30"},
        {"Sun, 1 Feb 2009 03:04:05 GMT", "2009/02/01 03:04:05"},
        {"1 Feb 2009 03:04 -0500", "2009/02/01 03:04"},
        {"Fri, 31 Dec 1999 23:59 +0000", "1999/12/31 23:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UI::FormatEventTime(RSS::EventTime(c.published)), QString::fromLatin1(c.shown)) << c.published;
}

TEST(GetDisplayName, ShowsTheNameElseTheFallbackAndAnEmptyNameAsAbsent)
{
    using MonitoredEntry::MFP;
    using MonitoredEntry::User;
    const boost::optional<std::wstring> none;
    EXPECT_EQ(UI::GetDisplayName(MFP(std::wstring(L"R&D"), L"10.0.0.5", 80, boost::none, false)), "R&D");
    EXPECT_EQ(UI::GetDisplayName(MFP(none, L"10.0.0.5", 80, boost::none, false)), "10.0.0.5");
    EXPECT_EQ(UI::GetDisplayName(MFP(std::wstring(), L"10.0.0.5", 80, boost::none, false)), "10.0.0.5");

    const MonitoredEntry::Password password;
    EXPECT_EQ(UI::GetDisplayName(User(std::wstring(L"Ädele"), L"adele", password)), QString::fromUtf8("Ädele"));
    EXPECT_EQ(UI::GetDisplayName(User(none, L"adele", password)), "adele");
    EXPECT_EQ(UI::GetDisplayName(User(std::wstring(), L"adele", password)), "adele");

    EXPECT_EQ(UI::GetDisplayName(IS::User(1, "\xC3\x84" "dele", "adele")), QString::fromUtf8("Ädele"));
    EXPECT_EQ(UI::GetDisplayName(IS::User(2, "", "adele")), "adele");
}

} // namespace
