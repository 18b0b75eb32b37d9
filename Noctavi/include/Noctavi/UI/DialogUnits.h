#ifndef NOCTAVI_UI_DIALOGUNITS_H
#define NOCTAVI_UI_DIALOGUNITS_H

#include <QRect>
#include <QSize>

class QFont;

namespace UI {

// Dialog units of a font, converted to pixels as Windows converts a dialog
// template's: a horizontal unit is a quarter of the font's average character
// width, a vertical unit an eighth of its height, each coordinate rounded on
// its own.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QSize ToPixels(const QSize& units) const;
    QRect ToPixels(const QRect& units) const;

private:
    int baseWidth_;  // the 52 Latin letters' width averaged as Windows does
    int baseHeight_; // ascent plus descent
};

} // namespace UI

#endif
