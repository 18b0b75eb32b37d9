// Decodes arbitrary bytes as a thumbnail. A picture that decodes is never
// larger than the pixel limit, whatever its header claims.
#include "Check.h"

#include <Noctavi/IS/MemoryImage.h>
#include <Noctavi/System/SystemError.h>

#include <QImage>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Qt reports every broken picture on the standard error; the fuzzer's own
// output is what matters.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&)
{
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const IS::MemoryImage image(std::make_unique<std::vector<unsigned char>>(data, data + size));
    try {
        const QImage& picture = image.GetBitmap();
        const long long pixels = static_cast<long long>(picture.width()) * picture.height();
        fuzz::Check(!picture.isNull() && pixels <= IS::MemoryImage::MaxPixels);
    } catch (const SystemError&) {
    }
    return 0;
}
