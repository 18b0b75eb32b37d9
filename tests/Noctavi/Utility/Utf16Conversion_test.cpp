#include <Noctavi/Utility/Utf16Conversion.h>

#include <gtest/gtest.h>

namespace {

using Utility::FromUtf16;
using Utility::ToUtf16;

TEST(Utf16Conversion, SurrogatePairsBothWays)
{
    const std::wstring wide = L"a\u00E9\uFFFF\U00010000\U0001F600\U0010FFFF";
    const std::u16string utf16 = u"a\u00E9\uFFFF\U00010000\U0001F600\U0010FFFF";
    EXPECT_EQ(ToUtf16(wide), utf16);
    EXPECT_EQ(ToUtf16(wide).size(), 9u);
    EXPECT_EQ(FromUtf16(utf16), wide);
    EXPECT_EQ(ToUtf16(L""), u"");
}

TEST(Utf16Conversion, ValuesThatAreNotCharactersBecomeReplacements)
{
    std::wstring wide;
    wide += static_cast<wchar_t>(0xD800);
    wide += static_cast<wchar_t>(0xDC00);
    wide += static_cast<wchar_t>(0x110000);
    wide += static_cast<wchar_t>(-1);
    EXPECT_EQ(ToUtf16(wide), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(Utf16Conversion, LoneSurrogatesBecomeReplacementsWithoutSwallowingNeighbours)
{
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    EXPECT_EQ(FromUtf16(std::u16string{high}), L"\uFFFD");
    EXPECT_EQ(FromUtf16(std::u16string{low, u'x'}), L"\uFFFDx");
    EXPECT_EQ(FromUtf16(std::u16string{high, u'x'}), L"\uFFFDx");
    EXPECT_EQ(FromUtf16(std::u16string{high, high, low}), L"\uFFFD\U0001F600");
}

} // namespace
