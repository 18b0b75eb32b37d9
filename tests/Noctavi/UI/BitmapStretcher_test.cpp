#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/BitmapStretcher.h>

#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(BitmapStretcher, ShrinksToFitKeepingTheAspectButNeverEnlarges)
{
    const struct {
        QSize source;
        QSize target;
        QSize fitted;
    } cases[] = {
        {{100, 50}, {200, 200}, {100, 50}},  // fits: kept
        {{400, 200}, {100, 100}, {100, 50}}, // the width limits
        {{300, 301}, {100, 100}, {99, 100}}, // the height limits; the width truncated
        {{1000, 1}, {100, 100}, {100, 1}},   // a sliver keeps one pixel
        {{1, 1000}, {100, 100}, {1, 100}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UI::BitmapStretcher::Fit(c.source, c.target), c.fitted) << c.source.width() << "x" << c.source.height();
        QImage source(c.source, QImage::Format_RGB32);
        source.fill(Qt::darkCyan);
        const QImage result = UI::BitmapStretcher()(c.target, source);
        EXPECT_EQ(result.size(), c.fitted);
        EXPECT_EQ(result.pixelColor(0, 0), QColor(Qt::darkCyan));
    }
}

TEST(BitmapStretcher, AnEmptySourceIsNoPicture)
{
    EXPECT_THROW(UI::BitmapStretcher::Fit({0, 0}, {100, 100}), SystemError);
    EXPECT_THROW(UI::BitmapStretcher::Fit({100, 0}, {10, 10}), SystemError);
    EXPECT_THROW(UI::BitmapStretcher()(QSize(100, 100), QImage()), SystemError);
}

} // namespace
