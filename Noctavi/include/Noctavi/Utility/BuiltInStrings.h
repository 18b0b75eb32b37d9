#ifndef NOCTAVI_UTILITY_BUILTINSTRINGS_H
#define NOCTAVI_UTILITY_BUILTINSTRINGS_H

#include <cstddef>

namespace Utility {

// One text of the built-in string table, UTF-8.
struct BuiltInString {
    unsigned int id;
    const char* text;
};

// The table compiled from Noctavi/res/StringTable.txt, in strictly ascending
// order of identifier (the generator refuses anything else).
extern const BuiltInString kBuiltInStrings[];
extern const std::size_t kBuiltInStringCount;

} // namespace Utility

#endif
