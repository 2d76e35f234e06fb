#pragma once
// Sonic 2's half-pipe drawn as a cross-section, looking down the tube: the
// angle of an object is its place around the pipe (0x40 at the bottom, the
// sides at 0x00 and 0x80, drawn the other way round for a mirrored segment),
// its distance how far down the tube it starts (distance 0 on the outer rim,
// 63 near the centre). The editor draws one segment this way; the stage
// picture of "Export Image" and `zorptool stages png` draws every segment of
// a stage side by side. Needs only QtGui.
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <optional>

#include "stage/S2StageData.h"

class QPainter;

namespace zorp::ui {

// Where an object is drawn in a cross-section of `area`, and back.
struct S2CrossSection {
    QRectF area;
    bool mirrored = false;

    QPointF centre() const { return area.center(); }
    double outerRadius() const;
    double Radius(int distance) const;
    QPointF Position(uint8_t angle, int distance) const;
    // The angle and distance nearest to a point; nullopt outside the tube.
    std::optional<std::pair<uint8_t, int>> At(QPointF point) const;
};

struct S2Cursor {
    uint8_t angle = 0x40;
    int distance = 0;
};

// One segment: the tube, the depth rings, the objects, and optionally the
// selected object and the keyboard cursor. `list` may be null (a segment
// without an object list).
void DrawS2CrossSection(QPainter& painter, const S2CrossSection& section, const zorp::S2ObjectList* list,
                        int selectedObject = -1, std::optional<S2Cursor> cursor = std::nullopt);

// Every segment of a stage in rows of 8, each labelled with its number, type
// and end marker.
QImage RenderS2StageImage(const zorp::Bytes& segments, const zorp::S2StageObjects& objects);

} // namespace zorp::ui
