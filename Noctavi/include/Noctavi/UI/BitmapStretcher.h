#ifndef NOCTAVI_UI_BITMAPSTRETCHER_H
#define NOCTAVI_UI_BITMAPSTRETCHER_H

#include <QSize>
#include <Qt>

namespace UI {

// Makes a picture (QImage or QPixmap) fit a target size: shrunk smoothly with
// its aspect ratio kept, never enlarged.
class BitmapStretcher {
public:
    // The source's size when it fits the target, else the source scaled by
    // the smaller of the two ratios, each side truncated toward zero but kept
    // at one pixel at least, so that a sliver of a picture still shows.
    // Throws SystemError (EINVAL) for an empty source: there is no picture.
    static QSize Fit(const QSize& source, const QSize& target);

    template <class Picture>
    Picture operator()(const QSize& target, const Picture& source) const
    {
        const QSize fitted = Fit(source.size(), target);
        if (fitted == source.size())
            return source;
        return source.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
};

} // namespace UI

#endif
