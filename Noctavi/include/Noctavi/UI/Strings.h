#ifndef NOCTAVI_UI_STRINGS_H
#define NOCTAVI_UI_STRINGS_H

#include <QString>

namespace UI {

// String-table identifiers that the user interface shares.
constexpr unsigned int kApplicationNameString = 0xE000;
constexpr unsigned int kUnsupportedOperationString = 61473;

// A user-visible text by its string-table identifier, from the language
// catalogue first (LrcCatalogue::LoadString); empty when neither has it.
QString LoadString(unsigned int id);

} // namespace UI

#endif
