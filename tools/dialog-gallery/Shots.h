#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_SHOTS_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_SHOTS_H

#include <QPixmap>
#include <QString>

#include <functional>
#include <vector>

class Samples;

// One picture of the gallery: the PNG file's name (without ".png") and how it
// is drawn from the sample data.
struct Shot {
    QString name;
    std::function<QPixmap(Samples&)> render;
};

// Every dialog, page, box and menu of the program, in each of its layouts.
std::vector<Shot> Shots();

#endif
