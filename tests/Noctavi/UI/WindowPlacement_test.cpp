#include <Noctavi/UI/WindowPlacement.h>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

TEST(MoveToWorkAreaCorner, PutsTheWindowsEdgesOnTheWorkAreasEdges)
{
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(201, 99);
    window.move(7, 9);
    window.show();
    UI::MoveToWorkAreaCorner(window);
    // The edges lie one past the last pixel, frame included: x + width, which
    // is QRect::right() + 1.
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(frame.x() + frame.width(), workArea.x() + workArea.width());
    EXPECT_EQ(frame.y() + frame.height(), workArea.y() + workArea.height());
    EXPECT_EQ(window.size(), QSize(201, 99));
}

TEST(CenterOver, CentresOnTheHalfSumOfTheEdgesAcrossParents)
{
    QWidget dialog;
    dialog.resize(400, 300);
    QWidget frame(&dialog);
    frame.setGeometry(20, 10, 200, 150);
    QWidget reference(&frame); // at (30, 40) of the dialog
    reference.setGeometry(10, 30, 100, 50);
    QWidget picture(&dialog);
    picture.setGeometry(0, 0, 31, 21);
    dialog.show();

    UI::CenterOver(picture, reference);
    // Centre of the reference: ((30 + 130) / 2, (40 + 90) / 2) = (80, 65); of
    // the picture: ((0 + 31) / 2, (0 + 21) / 2) = (15, 10). QRect::center()
    // would give (79, 64) and place the picture one pixel up and left.
    EXPECT_EQ(picture.geometry(), QRect(65, 55, 31, 21));

    UI::CenterOver(picture, reference);
    EXPECT_EQ(picture.pos(), QPoint(65, 55)) << "centring twice changes nothing";
}

} // namespace
