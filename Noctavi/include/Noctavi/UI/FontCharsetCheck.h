#ifndef NOCTAVI_UI_FONTCHARSETCHECK_H
#define NOCTAVI_UI_FONTCHARSETCHECK_H

namespace UI {

// Whether an installed font can show the writing system of a Windows
// character-set code, as a language catalogue names it. An unknown code has no
// font. Needs the GUI application object; the application passes it to
// LrcCatalogue::Open.
bool HasFontForCharset(int charset);

} // namespace UI

#endif
