#pragma once
// Reads a stage picture back cell by cell: which object a 12 x 12 cell shows,
// told from two pixels (the middle and the lower edge of the picture), so a
// test can compare an exported image with the stage's cells.
#include <QColor>
#include <QImage>

#include "stage/SpecialStage.h"

namespace stagecheck {

// The cell code a cell of the picture shows, or -1 when it shows none clearly.
inline int ShownCode(const QImage& image, int column, int row, QColor floor)
{
    const QColor middle = image.pixelColor(column * 12 + 6, row * 12 + 6);
    const QColor lower = image.pixelColor(column * 12 + 6, row * 12 + 10);
    auto is = [](QColor c, auto test) { return test(c.red(), c.green(), c.blue()); };
    if (lower == floor && middle == floor)
        return zorp::Empty;
    if (is(lower, [](int r, int g, int b) { return b > r + 60 && b > g + 30; }))
        return zorp::Blue;
    if (is(lower, [](int r, int g, int b) { return r > g + 60 && b > g + 60; }))
        return zorp::Star;
    if (is(lower, [](int r, int g, int b) { return r > g + 60 && r > b + 60; }))
        return zorp::Red;
    if (is(lower, [](int r, int g, int b) { return r > b + 80 && g > b + 60; }))
        return middle == floor ? zorp::Ring : zorp::Yellow;
    return -1;
}

} // namespace stagecheck
