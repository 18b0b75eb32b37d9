#ifndef NOCTAVI_UTILITY_TEXTCONVERSION_H
#define NOCTAVI_UTILITY_TEXTCONVERSION_H

#include <string>
#include <string_view>

namespace Utility {

// The one conversion between narrow (UTF-8) and wide text. Neither throws:
// malformed bytes and invalid code points become U+FFFD.
std::wstring ToWide(std::string_view narrow);
std::string ToNarrow(std::wstring_view wide);

} // namespace Utility

#endif
