#include <Noctavi/MonitoredEntry/MFP.h>

#include <gtest/gtest.h>

namespace {

using MonitoredEntry::MFP;

TEST(MFP, TheChosenSchemeNeedsItsPort)
{
    EXPECT_TRUE(MFP(boost::none, L"10.0.0.1", boost::none, 443, true).IsValid());
    EXPECT_FALSE(MFP(boost::none, L"10.0.0.1", boost::none, 443, false).IsValid());
    EXPECT_TRUE(MFP(boost::none, L"10.0.0.1", 80, boost::none, false).IsValid());
    EXPECT_FALSE(MFP(boost::none, L"10.0.0.1", 80, boost::none, true).IsValid());
    EXPECT_TRUE(MFP(boost::none, L"10.0.0.1", 0, 65535, true).IsValid());
    EXPECT_FALSE(MFP().IsValid());
}

TEST(MFP, EveryPresentPartMustBeSound)
{
    EXPECT_FALSE(MFP(std::wstring(), L"10.0.0.1", 80, 443, true).IsValid());
    EXPECT_TRUE(MFP(std::wstring(L"Office"), L"printer.local", 80, 443, true).IsValid());
    EXPECT_FALSE(MFP(boost::none, L"10.0.0.1", 70000, 443, true).IsValid());
    EXPECT_FALSE(MFP(boost::none, L"10.0.0.1", -1, 443, true).IsValid());
    EXPECT_FALSE(MFP(boost::none, L"not a host", 80, 443, true).IsValid());
}

TEST(MFP, EqualityIsExactAndTellsAbsentFromEmpty)
{
    const MFP base(std::wstring(L"Office"), L"host", 80, 443, true);
    EXPECT_EQ(base, MFP(std::wstring(L"Office"), L"host", 80, 443, true));
    EXPECT_NE(base, MFP(boost::none, L"host", 80, 443, true));
    EXPECT_NE(MFP(boost::none, L"host", 80, 443, true), MFP(std::wstring(), L"host", 80, 443, true));
    EXPECT_NE(base, MFP(std::wstring(L"Office"), L"HOST", 80, 443, true));
    EXPECT_NE(base, MFP(std::wstring(L"Office"), L"host", boost::none, 443, true));
    EXPECT_NE(base, MFP(std::wstring(L"Office"), L"host", 80, 444, true));
    EXPECT_NE(base, MFP(std::wstring(L"Office"), L"host", 80, 443, false));
}

TEST(MFP, CopiesAreIndependent)
{
    const MFP original(std::wstring(L"Office"), L"host", 80, 443, true);
    MFP copy(original);
    copy.SetHost(L"other");
    copy.SetName(boost::none);
    copy.SetHTTPS(8443);
    EXPECT_EQ(original.GetHost(), L"host");
    EXPECT_TRUE(original.GetName() == std::wstring(L"Office"));
    EXPECT_TRUE(original.GetHTTPS() == 443);

    MFP assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
}

} // namespace
