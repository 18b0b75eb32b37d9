#include <Noctavi/IS/MemoryImage.h>
#include <Noctavi/System/SystemError.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <future>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Encoded(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return Bytes(data.begin(), data.end());
}

QImage Picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 90));
    return image;
}

IS::MemoryImage ImageOf(const Bytes& bytes)
{
    return IS::MemoryImage(std::make_unique<Bytes>(bytes));
}

int DecodingError(const Bytes& bytes)
{
    try {
        ImageOf(bytes).GetBitmap();
    } catch (const SystemError& e) {
        return e.code().value();
    }
    return 0;
}

TEST(MemoryImage, DecodesTheFormatsMachinesSendOnceOnFirstUse)
{
    for (const char* format : {"JPEG", "PNG", "GIF", "BMP", "TIFF"}) {
        if (!QImageWriter::supportedImageFormats().contains(QByteArray(format).toLower()))
            continue; // TIFF only with Qt's image-format plug-ins
        const IS::MemoryImage image = ImageOf(Encoded(Picture(40, 30), format));
        const QImage& first = image.GetBitmap();
        EXPECT_EQ(first.size(), QSize(40, 30)) << format;
        const QImage& second = image.GetBitmap();
        EXPECT_EQ(&first, &second) << format;
        EXPECT_EQ(first.constBits(), second.constBits()) << format << ": decoded again";
    }
    // A format that the reply names wrongly leaves it to the bytes.
    const IS::MemoryImage misnamed(std::make_unique<Bytes>(Encoded(Picture(40, 30), "PNG")), "jpeg");
    EXPECT_EQ(misnamed.GetBitmap().size(), QSize(40, 30));
}

TEST(MemoryImage, BytesThatAreNoAcceptedPictureThrowSystemError)
{
    EXPECT_EQ(DecodingError({}), EINVAL);
    EXPECT_EQ(DecodingError({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}), EINVAL);
    const Bytes png = Encoded(Picture(8, 8), "PNG");
    EXPECT_EQ(DecodingError(Bytes(png.begin(), png.begin() + 40)), EINVAL) << "cut short";
    EXPECT_THROW(IS::MemoryImage(nullptr).GetBitmap(), SystemError);

    // Qt could draw it, but a vector format is no thumbnail.
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
                            "<rect width=\"8\" height=\"8\" fill=\"red\"/></svg>";
    EXPECT_EQ(DecodingError(Bytes(svg.begin(), svg.end())), EINVAL);
}

// A header may claim any size: the claim is refused before memory is taken.
TEST(MemoryImage, APictureBeyondTheLimitIsRefusedFromItsHeader)
{
    Bytes bmp = Encoded(Picture(4, 4), "BMP");
    const auto put32 = [&bmp](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    put32(18, 5000); // width
    put32(22, 5000); // height
    EXPECT_EQ(DecodingError(bmp), EFBIG);

    put32(18, 4096);
    put32(22, 4097);
    EXPECT_EQ(DecodingError(bmp), EFBIG) << "one row beyond the limit";
    put32(22, 4096);
    EXPECT_EQ(DecodingError(bmp), 0) << "a picture at the limit is decoded";
}

// A GIF's frame may widen its screen: this header claims 1 x 770 pixels, and
// the picture would decode to 40704 x 770.
TEST(MemoryImage, APictureThatDecodesBeyondTheLimitIsRefused)
{
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x9f, 0, 0, 0, 0, 0,
                       ',', 0, 0, 0, 0, 1, 0, 0x02, 0x03, 0, 2, 0, ';'};
    ASSERT_EQ(gif.size(), 26u);
    const int error = DecodingError(gif);
    EXPECT_TRUE(error == EFBIG || error == EINVAL) << error;
}

TEST(MemoryImage, ThreadsShareTheOneDecoding)
{
    const IS::MemoryImage image = ImageOf(Encoded(Picture(64, 48), "PNG"));
    auto other = std::async(std::launch::async, [&image] { return &image.GetBitmap(); });
    const QImage* here = &image.GetBitmap();
    EXPECT_EQ(other.get(), here);
}

} // namespace
