#include <Noctavi/IS/MemoryImage.h>

#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace IS {
namespace {

// Pictures a machine sends. Qt's plug-ins read more (SVG among them); those
// parsers are kept away from bytes that came off the network.
bool IsAcceptedFormat(const QByteArray& format)
{
    static const char* const accepted[] = {"jpeg", "png", "gif", "bmp", "tiff"};
    return std::any_of(std::begin(accepted), std::end(accepted), [&](const char* name) { return format == name; });
}

// The header's claim is checked before any pixel memory is taken.
void CheckBeforeDecoding(QImageReader& reader)
{
    if (!IsAcceptedFormat(reader.format()))
        PELMO_THROW(SystemError(EINVAL));
    const QSize size = reader.size();
    if (!size.isValid())
        PELMO_THROW(SystemError(EINVAL));
    if (static_cast<long long>(size.width()) * size.height() > MemoryImage::MaxPixels)
        PELMO_THROW(SystemError(EFBIG));
}

} // namespace

struct MemoryImage::Pimpl {
    std::unique_ptr<std::vector<unsigned char>> bytes;
    std::mutex mutex;
    QImage picture;

    void Initialize();
};

void MemoryImage::Pimpl::Initialize()
{
    // The reader only looks at the bytes; they stay ours.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes->data()),
                                              static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    CheckBeforeDecoding(reader);
    QImage decoded;
    if (!reader.read(&decoded))
        PELMO_THROW(SystemError(EINVAL));
    picture = std::move(decoded);
}

MemoryImage::MemoryImage(std::unique_ptr<std::vector<unsigned char>> bytes)
    : pimpl_(new Pimpl)
{
    pimpl_->bytes = bytes ? std::move(bytes) : std::make_unique<std::vector<unsigned char>>();
}

MemoryImage::~MemoryImage() = default;

const QImage& MemoryImage::GetBitmap() const
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    if (pimpl_->picture.isNull())
        pimpl_->Initialize();
    return pimpl_->picture;
}

} // namespace IS
