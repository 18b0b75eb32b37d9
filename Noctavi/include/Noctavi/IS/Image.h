#ifndef NOCTAVI_IS_IMAGE_H
#define NOCTAVI_IS_IMAGE_H

#include <boost/core/noncopyable.hpp>

class QImage;

namespace IS {

// A picture that can be shown. Include <QImage> to use the bitmap.
class Image : private boost::noncopyable {
public:
    virtual ~Image() = default;

    // Owned by the image and valid as long as it lives.
    virtual const QImage& GetBitmap() const = 0;
};

} // namespace IS

#endif
