#include <support/PngPicture.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace support {

std::string PngPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data.toStdString();
}

} // namespace support
