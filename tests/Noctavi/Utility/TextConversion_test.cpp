#include <Noctavi/Utility/TextConversion.h>

#include <gtest/gtest.h>

namespace {

using Utility::ToNarrow;
using Utility::ToWide;

TEST(TextConversion, RoundTripsEveryPlane)
{
    const std::wstring text = L"A\u00e9\u4e2d\U0001F600z";
    EXPECT_EQ(ToNarrow(text), "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_EQ(ToWide(ToNarrow(text)), text);
    EXPECT_EQ(ToWide(""), L"");
}

TEST(TextConversion, MalformedBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(ToWide("\xC3"), L"\uFFFD");                 // cut short at the end
    EXPECT_EQ(ToWide("\xC3" "A"), L"\uFFFDA");            // next character survives
    EXPECT_EQ(ToWide("\xC0\xAF"), L"\uFFFD");             // overlong slash, never "/"
    EXPECT_EQ(ToWide("\xED\xA0\x80"), L"\uFFFD");         // encoded surrogate
    EXPECT_EQ(ToWide("\xF4\x90\x80\x80"), L"\uFFFD");     // beyond U+10FFFF
}

TEST(TextConversion, InvalidCodePointsBecomeReplacementCharacters)
{
    std::wstring bad;
    bad += static_cast<wchar_t>(0xD800);
    bad += static_cast<wchar_t>(0x110000);
    bad += static_cast<wchar_t>(-1);
    EXPECT_EQ(ToNarrow(bad), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
