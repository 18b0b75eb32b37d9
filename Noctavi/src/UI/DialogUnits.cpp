#include <Noctavi/UI/DialogUnits.h>

#include <QFont>
#include <QFontMetrics>

#include <cstdint>

namespace UI {

namespace {

// number * numerator / denominator rounded half away from zero, as Windows' MulDiv.
int MulDiv(int number, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

} // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

int DialogUnits::ToPixelsX(int units) const
{
    return MulDiv(units, baseWidth_, 4);
}

int DialogUnits::ToPixelsY(int units) const
{
    return MulDiv(units, baseHeight_, 8);
}

QSize DialogUnits::ToPixels(const QSize& units) const
{
    return {ToPixelsX(units.width()), ToPixelsY(units.height())};
}

QRect DialogUnits::ToPixels(const QRect& units) const
{
    return {ToPixelsX(units.x()), ToPixelsY(units.y()), ToPixelsX(units.width()), ToPixelsY(units.height())};
}

} // namespace UI
