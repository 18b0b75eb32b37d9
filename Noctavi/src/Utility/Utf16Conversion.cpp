#include <Noctavi/Utility/Utf16Conversion.h>

namespace Utility {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void EncodeOne(char32_t code, std::u16string& out)
{
    if (code > kLastCodePoint || IsHighSurrogate(code) || IsLowSurrogate(code))
        code = kReplacement;
    if (code < kFirstSupplementary) {
        out += static_cast<char16_t>(code);
        return;
    }
    code -= kFirstSupplementary;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

// Decodes the character at utf16[pos] and advances pos past it.
char32_t DecodeOne(std::u16string_view utf16, std::size_t& pos)
{
    const char32_t unit = utf16[pos++];
    if (IsLowSurrogate(unit))
        return kReplacement;
    if (!IsHighSurrogate(unit))
        return unit;
    // A high surrogate not followed by a low one stands alone; what follows is read afresh.
    if (pos >= utf16.size() || !IsLowSurrogate(utf16[pos]))
        return kReplacement;
    const char32_t low = utf16[pos++];
    return kFirstSupplementary + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

} // namespace

std::u16string ToUtf16(std::wstring_view wide)
{
    static_assert(sizeof(wchar_t) == 4, "wide text holds whole code points");
    std::u16string utf16;
    utf16.reserve(wide.size());
    for (wchar_t c : wide)
        EncodeOne(static_cast<char32_t>(c), utf16);
    return utf16;
}

std::wstring FromUtf16(std::u16string_view utf16)
{
    std::wstring wide;
    wide.reserve(utf16.size());
    for (std::size_t pos = 0; pos < utf16.size();)
        wide += static_cast<wchar_t>(DecodeOne(utf16, pos));
    return wide;
}

} // namespace Utility
