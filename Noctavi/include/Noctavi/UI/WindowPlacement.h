#ifndef NOCTAVI_UI_WINDOWPLACEMENT_H
#define NOCTAVI_UI_WINDOWPLACEMENT_H

class QWidget;

namespace UI {

// Rectangles here follow Windows: the right and bottom edges lie one past the
// last pixel (x + width), which QRect::right() and QRect::center() do not.

// Moves a window, keeping its size and frame, so that its right and bottom
// edges meet those of the primary screen's work area.
void MoveToWorkAreaCorner(QWidget& window);

// Moves a window, keeping its size, so that the centre of its rectangle lies
// on the centre of the reference's (halves of the sums of the edges, in
// integers). The two need not share a parent.
void CenterOver(QWidget& window, const QWidget& reference);

} // namespace UI

#endif
