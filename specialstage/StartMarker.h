#pragma once
// Where the start marker lies inside one 12 x 12 cell: an outlined triangle of
// three one-pixel lines. The base runs corner to corner along the edge behind
// the player; the two other sides meet the facing edge at its middle pixels
// 5 and 6, so the marker points the way the player starts.
#include <array>
#include <optional>

#include "stage/StartDirection.h"

namespace zorp::ui {

inline constexpr int kCellPixels = 12;
inline constexpr int kSurfacePixels = 32 * kCellPixels; // 384

struct PixelLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

// The three lines relative to the cell's top-left pixel; nothing for a
// direction outside 1..4.
inline std::optional<std::array<PixelLine, 3>> StartMarkerLines(int direction)
{
    constexpr int e = kCellPixels - 1; // far edge, 11
    switch (direction) {
    case S3S_Up:
        return std::array<PixelLine, 3>{{{0, e, e, e}, {0, e, 5, 0}, {e, e, 6, 0}}};
    case S3S_Down:
        return std::array<PixelLine, 3>{{{0, 0, e, 0}, {0, 0, 5, e}, {e, 0, 6, e}}};
    case S3S_Left:
        return std::array<PixelLine, 3>{{{e, 0, e, e}, {e, 0, 0, 5}, {e, e, 0, 6}}};
    case S3S_Right:
        return std::array<PixelLine, 3>{{{0, 0, 0, e}, {0, 0, e, 5}, {0, e, e, 6}}};
    default:
        return std::nullopt;
    }
}

} // namespace zorp::ui
