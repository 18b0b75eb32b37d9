#ifndef NOCTAVI_IS_MEMORYIMAGE_H
#define NOCTAVI_IS_MEMORYIMAGE_H

#include <Noctavi/IS/Image.h>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

namespace IS {

// The bytes of a picture file (JPEG, PNG, GIF, BMP, or TIFF where Qt's image
// plug-ins are installed), decoded on first use.
class MemoryImage : public Image {
public:
    // The most pixels a picture may have: a thumbnail is far smaller, and a
    // small file that claims a huge picture must not take the memory it names.
    static constexpr long long MaxPixels = 4096LL * 4096LL;

    // The format ("jpeg", "tiff"), where the sender names one, is tried first,
    // so that the other decoders need not be loaded.
    explicit MemoryImage(std::unique_ptr<std::vector<unsigned char>> bytes, const std::string& format = std::string());
    ~MemoryImage() override;

    // Decodes the bytes the first time. Throws ::SystemError when they are not
    // a picture of those formats (EINVAL) or the picture, as its header claims
    // it or as it decodes, exceeds MaxPixels (EFBIG, or EINVAL when Qt's
    // decoder refuses the memory first); a later call tries again. The first
    // decoding sets Qt's process-wide allocation limit for decoders to the
    // memory of MaxPixels pixels.
    const QImage& GetBitmap() const override;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace IS

#endif
