#ifndef NOCTAVI_UI_VIRTUALLIST_TEXTCOLUMN_H
#define NOCTAVI_UI_VIRTUALLIST_TEXTCOLUMN_H

#include <QString>
#include <QVariant>

namespace UI::VirtualList {

// The kind of column whose header has a title and whose cells show text.
class TextColumn {
public:
    typedef QString Cell;
    static constexpr int kCellRole = Qt::DisplayRole;

    // The title is the string-table text of titleId; the width is in pixels.
    TextColumn(unsigned int titleId, int width);
    TextColumn(const TextColumn&) = delete;
    TextColumn& operator=(const TextColumn&) = delete;

    QVariant HeaderData(int role) const;
    int Width() const { return width_; }

private:
    QString title_;
    int width_;
};

} // namespace UI::VirtualList

#endif
