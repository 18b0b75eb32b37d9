#ifndef NOCTAVI_UTILITY_UTF16CONVERSION_H
#define NOCTAVI_UTILITY_UTF16CONVERSION_H

#include <string>
#include <string_view>

namespace Utility {

// Wide text as UTF-16 code units, for the formats that store text that way.
// Characters beyond the basic plane become surrogate pairs; values that are
// not characters (surrogates, beyond U+10FFFF) become U+FFFD. Neither throws.
std::u16string ToUtf16(std::wstring_view wide);
// The reverse; a surrogate without its partner becomes U+FFFD.
std::wstring FromUtf16(std::u16string_view utf16);

} // namespace Utility

#endif
