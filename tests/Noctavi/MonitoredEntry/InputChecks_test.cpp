#include <Noctavi/MonitoredEntry/InputChecks.h>

#include <gtest/gtest.h>

namespace {

using namespace MonitoredEntry;

TEST(InputChecks, Hosts)
{
    EXPECT_TRUE(IsValidHost(L"192.168.0.1"));
    EXPECT_TRUE(IsValidHost(L"printer-3.example"));
    EXPECT_FALSE(IsValidHost(L""));
    EXPECT_FALSE(IsValidHost(L"two words"));
    EXPECT_FALSE(IsValidHost(L"dr\u00fccker"));
    EXPECT_FALSE(IsValidHost(std::wstring(L"host\0name", 9)));
}

TEST(InputChecks, PortNumbersAreCheckedBeforeNarrowing)
{
    EXPECT_FALSE(IsPortNumber(-1));
    EXPECT_TRUE(IsPortNumber(0));
    EXPECT_TRUE(IsPortNumber(65535));
    EXPECT_FALSE(IsPortNumber(65536));
    EXPECT_FALSE(IsPortNumber((1LL << 32) + 80));
}

TEST(InputChecks, TextChecks)
{
    EXPECT_FALSE(IsNonEmptyString(L""));
    EXPECT_TRUE(IsNonEmptyString(L" "));

    EXPECT_TRUE(IsAsciiString(L""));
    EXPECT_TRUE(IsAsciiString(L" ~\x7f"));
    EXPECT_FALSE(IsAsciiString(L"caf\u00e9"));
    EXPECT_FALSE(IsAsciiString(L"\x80"));
    EXPECT_FALSE(IsAsciiString(std::wstring(1, static_cast<wchar_t>(-1))));

    EXPECT_TRUE(HasNoControlCharacters(L""));
    EXPECT_TRUE(HasNoControlCharacters(L" ~\u00e9\x80"));
    for (const wchar_t control : {L'\x01', L'\t', L'\n', L'\r', L'\x1f', L'\x7f'})
        EXPECT_FALSE(HasNoControlCharacters(std::wstring(L"ab") + control + L"c")) << int(control);
    EXPECT_FALSE(HasNoControlCharacters(std::wstring(1, L'\0')));
}

} // namespace
