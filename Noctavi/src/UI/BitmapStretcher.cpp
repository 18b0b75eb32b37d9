#include <Noctavi/UI/BitmapStretcher.h>

#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>

#include <algorithm>
#include <cerrno>

namespace UI {

namespace {

int Scaled(int side, double scale)
{
    return std::max(1, static_cast<int>(side * scale));
}

} // namespace

QSize BitmapStretcher::Fit(const QSize& source, const QSize& target)
{
    if (source.isEmpty())
        PELMO_THROW(SystemError(EINVAL));
    if (target.width() >= source.width() && target.height() >= source.height())
        return source;
    const double scale = std::min(static_cast<double>(target.height()) / source.height(),
                                  static_cast<double>(target.width()) / source.width());
    return {Scaled(source.width(), scale), Scaled(source.height(), scale)};
}

} // namespace UI
