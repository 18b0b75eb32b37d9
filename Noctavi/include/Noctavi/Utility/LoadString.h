#ifndef NOCTAVI_UTILITY_LOADSTRING_H
#define NOCTAVI_UTILITY_LOADSTRING_H

#include <string>

// The text of an identifier from the built-in string table alone, never from
// the language catalogue. Throws SystemError (ENOENT) when the table lacks it.
std::wstring LoadStringFromApp(unsigned int id);

#endif
