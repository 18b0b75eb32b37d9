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

bool IsWithinLimit(const QSize& size)
{
    return static_cast<long long>(size.width()) * size.height() <= MemoryImage::MaxPixels;
}

// A header may understate what its data decodes to (a GIF's frame can widen
// its screen), so Qt's own decoders are held to the limit as well: four bytes
// a pixel, the widest format a thumbnail decodes to. The limit is Qt's, for
// the whole process, and far above any picture the program draws itself.
void LimitDecoderAllocations()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const long long megabyte = 1024 * 1024;
        QImageReader::setAllocationLimit(static_cast<int>(MemoryImage::MaxPixels * 4 / megabyte));
    });
}

// The header's claim is checked before any pixel memory is taken.
void CheckBeforeDecoding(QImageReader& reader)
{
    if (!IsAcceptedFormat(reader.format()))
        PELMO_THROW(SystemError(EINVAL));
    const QSize size = reader.size();
    if (!size.isValid())
        PELMO_THROW(SystemError(EINVAL));
    if (!IsWithinLimit(size))
        PELMO_THROW(SystemError(EFBIG));
}

} // namespace

struct MemoryImage::Pimpl {
    std::unique_ptr<std::vector<unsigned char>> bytes;
    QByteArray format;
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
    // A sender may name the wrong format; then the bytes decide.
    const QByteArray named = format.isEmpty() || QImageReader(&buffer, format).canRead() ? format : QByteArray();
    buffer.seek(0);
    QImageReader reader(&buffer, named);
    CheckBeforeDecoding(reader);
    LimitDecoderAllocations();
    QImage decoded;
    if (!reader.read(&decoded))
        PELMO_THROW(SystemError(EINVAL));
    if (!IsWithinLimit(decoded.size()))
        PELMO_THROW(SystemError(EFBIG));
    picture = std::move(decoded);
}

MemoryImage::MemoryImage(std::unique_ptr<std::vector<unsigned char>> bytes, const std::string& format)
    : pimpl_(new Pimpl)
{
    pimpl_->bytes = bytes ? std::move(bytes) : std::make_unique<std::vector<unsigned char>>();
    pimpl_->format = QByteArray::fromStdString(format);
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
