#include <Noctavi/Utility/TextConversion.h>

#include <algorithm>
#include <cstddef>

namespace Utility {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

bool IsScalarValue(char32_t code)
{
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

// Decodes one character at text[pos] and advances pos. A malformed sequence
// yields U+FFFD and consumes only its lead byte and the continuation bytes
// that were valid so far, so that the next character is not swallowed.
char32_t DecodeOne(std::string_view text, std::size_t& pos)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    int length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }

    for (int i = 1; i < length; ++i) {
        if (pos >= text.size() || !IsContinuation(static_cast<unsigned char>(text[pos])))
            return kReplacement;
        code = (code << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    // Overlong forms and surrogates are refused, as the standard requires.
    if (code < minimum || !IsScalarValue(code))
        return kReplacement;
    return code;
}

void EncodeOne(char32_t code, std::string& out)
{
    if (!IsScalarValue(code))
        code = kReplacement;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::wstring ToWide(std::string_view narrow)
{
    static_assert(sizeof(wchar_t) == 4, "wide text holds whole code points");
    std::wstring wide;
    wide.reserve(narrow.size());
    for (std::size_t pos = 0; pos < narrow.size();)
        wide += static_cast<wchar_t>(DecodeOne(narrow, pos));
    return wide;
}

std::string ToNarrow(std::wstring_view wide)
{
    const auto isAscii = [](wchar_t c) { return c >= 0 && c < 0x80; };
    std::string narrow;
    narrow.reserve(wide.size());
    for (auto at = wide.begin(); at != wide.end();) {
        // ASCII, most of what is converted, is copied a run at a time.
        const auto run = std::find_if_not(at, wide.end(), isAscii);
        const std::size_t size = narrow.size();
        narrow.resize(size + static_cast<std::size_t>(run - at));
        std::copy(at, run, narrow.begin() + static_cast<std::ptrdiff_t>(size));
        for (at = run; at != wide.end() && !isAscii(*at); ++at)
            EncodeOne(static_cast<char32_t>(*at), narrow);
    }
    return narrow;
}

} // namespace Utility
