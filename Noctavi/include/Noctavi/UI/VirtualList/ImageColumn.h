#ifndef NOCTAVI_UI_VIRTUALLIST_IMAGECOLUMN_H
#define NOCTAVI_UI_VIRTUALLIST_IMAGECOLUMN_H

#include <QVariant>

namespace UI::VirtualList {

// The kind of column whose header and cells show an image of the list's
// image list; the header shows image 0.
class ImageColumn {
public:
    typedef int Cell;
    static constexpr int kCellRole = Qt::DecorationRole;

    // The width is in pixels.
    explicit ImageColumn(int width);
    ImageColumn(const ImageColumn&) = delete;
    ImageColumn& operator=(const ImageColumn&) = delete;

    QVariant HeaderData(int role) const;
    int Width() const { return width_; }

private:
    int headerImage_ = 0;
    int width_;
};

} // namespace UI::VirtualList

#endif
