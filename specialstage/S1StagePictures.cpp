#include "specialstage/S1StagePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <map>
#include <vector>

namespace zorp::ui {

namespace {

using zorp::S1BlockKind;

const QColor kFloor(18, 22, 48);
const QColor kFloorLine(34, 40, 78);
const QColor kWallColours[] = {QColor(40, 90, 235), QColor(240, 170, 20), QColor(230, 70, 170), QColor(40, 180, 70)};
const QColor kEmeraldColours[] = {QColor(60, 120, 255), QColor(250, 220, 40), QColor(250, 110, 200),
                                  QColor(60, 220, 110), QColor(240, 70, 50), QColor(210, 210, 225)};

// The letters and digits the blocks carry, as strokes on a unit square, so
// pictures need no fonts (zorptool draws them without a display).
const std::vector<std::vector<QPointF>>& Glyph(QChar c)
{
    using Strokes = std::vector<std::vector<QPointF>>;
    static const std::map<QChar, Strokes> glyphs = {
        {'G', {{{1, .15}, {.8, 0}, {.2, 0}, {0, .2}, {0, .8}, {.2, 1}, {.8, 1}, {1, .8}, {1, .55}, {.55, .55}}}},
        {'O', {{{.2, 0}, {.8, 0}, {1, .2}, {1, .8}, {.8, 1}, {.2, 1}, {0, .8}, {0, .2}, {.2, 0}}}},
        {'A', {{{0, 1}, {.5, 0}, {1, 1}}, {{.25, .55}, {.75, .55}}}},
        {'L', {{{0, 0}, {0, 1}, {1, 1}}}},
        {'U', {{{0, 0}, {0, .8}, {.2, 1}, {.8, 1}, {1, .8}, {1, 0}}}},
        {'P', {{{0, 1}, {0, 0}, {.8, 0}, {1, .2}, {1, .4}, {.8, .55}, {0, .55}}}},
        {'D', {{{0, 0}, {0, 1}, {.7, 1}, {1, .7}, {1, .3}, {.7, 0}, {0, 0}}}},
        {'W', {{{0, 0}, {.2, 1}, {.5, .4}, {.8, 1}, {1, 0}}}},
        {'N', {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}}},
        {'R', {{{0, 1}, {0, 0}, {.8, 0}, {1, .2}, {1, .4}, {.8, .55}, {0, .55}}, {{.5, .55}, {1, 1}}}},
        {'1', {{{.2, .25}, {.55, 0}, {.55, 1}}, {{.2, 1}, {.9, 1}}}},
        {'2', {{{0, .2}, {.2, 0}, {.8, 0}, {1, .2}, {1, .4}, {0, 1}, {1, 1}}}},
        {'3', {{{0, 0}, {1, 0}, {.5, .45}, {.8, .45}, {1, .65}, {1, .85}, {.8, 1}, {0, 1}}}},
        {'4', {{{.8, 1}, {.8, 0}, {0, .7}, {1, .7}}}},
        {'5', {{{1, 0}, {0, 0}, {0, .45}, {.8, .45}, {1, .65}, {1, .85}, {.8, 1}, {0, 1}}}},
        {'6', {{{.9, 0}, {.3, 0}, {0, .4}, {0, .8}, {.2, 1}, {.8, 1}, {1, .8}, {1, .6}, {.8, .45}, {0, .45}}}},
    };
    static const Strokes none;
    const auto it = glyphs.find(c);
    return it == glyphs.end() ? none : it->second;
}

void Letter(QPainter& p, const QRectF& r, const QString& text, QColor colour)
{
    // Glyphs half as wide as tall, side by side, centred with a margin.
    const double height = r.height() * (text.size() > 1 ? 0.4 : 0.62);
    const double width = height * 0.6;
    const double gap = width * 0.45;
    const double total = text.size() * width + (text.size() - 1) * gap;
    double x = r.center().x() - total / 2;
    const double y = r.center().y() - height / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, r.width() > 12);
    p.setPen(QPen(colour, std::max(1.0, height / 6), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    for (QChar c : text) {
        for (const std::vector<QPointF>& stroke : Glyph(c)) {
            QPolygonF line;
            for (const QPointF& point : stroke)
                line << QPointF(x + point.x() * width, y + point.y() * height);
            p.drawPolyline(line);
        }
        x += width + gap;
    }
    p.restore();
}

void Box(QPainter& p, const QRectF& r, QColor fill, QColor edge)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRect(r);
    p.setPen(QPen(edge, std::max(1.0, r.width() / 10)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

void Wall(QPainter& p, const QRectF& r, int colour, int phase)
{
    const QColor base = kWallColours[colour];
    Box(p, r, base, base.darker(170));
    // A light top-left edge, like the game's bevelled blocks.
    p.setPen(QPen(base.lighter(150), std::max(1.0, r.width() / 10)));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.topRight() + QPointF(-1, 1));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.bottomLeft() + QPointF(1, -1));
    if (phase > 0) {
        // The cycling IDs: a glint, so the user sees which ID a cell holds.
        p.setPen(Qt::NoPen);
        p.setBrush(base.lighter(190));
        const double s = r.width() / 5;
        p.drawRect(QRectF(r.right() - s - 1, r.bottom() - s - 1, s, s));
    }
}

void Round(QPainter& p, const QRectF& r, QColor fill, QColor edge, double inset)
{
    p.setPen(QPen(edge, std::max(1.0, r.width() / 9)));
    p.setBrush(fill);
    p.drawEllipse(r.adjusted(inset, inset, -inset, -inset));
}

void Diamond(QPainter& p, const QRectF& r, QColor fill)
{
    const QPointF c = r.center();
    const double w = r.width() * 0.42;
    const double h = r.height() * 0.45;
    QPolygonF gem;
    gem << QPointF(c.x(), c.y() - h) << QPointF(c.x() + w, c.y()) << QPointF(c.x(), c.y() + h)
        << QPointF(c.x() - w, c.y());
    p.setPen(QPen(fill.darker(200), std::max(1.0, r.width() / 12)));
    p.setBrush(fill);
    p.drawPolygon(gem);
    p.setPen(Qt::NoPen);
    p.setBrush(fill.lighter(160));
    p.drawEllipse(QPointF(c.x() - w / 3, c.y() - h / 3), w / 4, h / 4);
}

void Sparkle(QPainter& p, const QRectF& r, QColor colour)
{
    const QPointF c = r.center();
    p.setPen(QPen(colour, std::max(1.0, r.width() / 10)));
    p.drawLine(QPointF(c.x(), r.top() + 1), QPointF(c.x(), r.bottom() - 1));
    p.drawLine(QPointF(r.left() + 1, c.y()), QPointF(r.right() - 1, c.y()));
}

void Glass(QPainter& p, const QRectF& r, int touches)
{
    const QColor tint = QColor::fromHsv(190 - touches * 40, 120, 250 - touches * 25, 220);
    Box(p, r, tint, tint.darker(160));
    p.setPen(QPen(QColor(255, 255, 255, 200), std::max(1.0, r.width() / 10)));
    p.drawLine(r.topLeft() + QPointF(2, r.height() * 0.6), r.topLeft() + QPointF(r.width() * 0.6, 2));
}

// One block in any rectangle (cells on the grid, larger icons in the list).
void DrawBlock(QPainter& p, const QRectF& r, uint8_t id)
{
    const zorp::S1BlockInfo info = zorp::DescribeS1Block(id);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, r.width() > 12);
    switch (info.kind) {
    case S1BlockKind::Empty:
        break;
    case S1BlockKind::Wall:
        Wall(p, r, info.variant, (id - 1) % 9);
        break;
    case S1BlockKind::Bumper:
        Round(p, r, QColor(230, 230, 240), QColor(220, 30, 40), 0.5);
        Round(p, r, QColor(220, 30, 40), QColor(220, 30, 40), r.width() * 0.33);
        break;
    case S1BlockKind::WBlock:
        Box(p, r, QColor(200, 200, 210), QColor(90, 90, 110));
        Letter(p, r, "W", QColor(40, 40, 60));
        break;
    case S1BlockKind::Goal:
        Box(p, r, Qt::white, QColor(210, 20, 30));
        Letter(p, r, r.width() >= 20 ? "GOAL" : "G", QColor(210, 20, 30));
        break;
    case S1BlockKind::OneUp:
        Round(p, r, QColor(40, 100, 230), Qt::white, 0.5);
        Letter(p, r, "1", Qt::white);
        break;
    case S1BlockKind::Up:
        Box(p, r, QColor(250, 250, 250), QColor(20, 120, 40));
        Letter(p, r, r.width() >= 20 ? "UP" : "U", QColor(20, 120, 40));
        break;
    case S1BlockKind::Down:
        Box(p, r, QColor(250, 250, 250), QColor(30, 60, 200));
        Letter(p, r, r.width() >= 20 ? "DOWN" : "D", QColor(30, 60, 200));
        break;
    case S1BlockKind::Reverse:
        Box(p, r, QColor(250, 250, 250), QColor(210, 20, 30));
        Letter(p, r, "R", QColor(210, 20, 30));
        break;
    case S1BlockKind::RedWhite: {
        Box(p, r, Qt::white, QColor(150, 20, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawRect(QRectF(r.left(), r.top(), r.width() / 2, r.height() / 2));
        p.drawRect(QRectF(r.center().x(), r.center().y(), r.width() / 2, r.height() / 2));
        break;
    }
    case S1BlockKind::Glass:
        Glass(p, r, info.variant);
        break;
    case S1BlockKind::Zone:
        Box(p, r, QColor(120, 120, 140), QColor(60, 60, 80));
        Letter(p, r, QString::number(info.variant), Qt::white);
        break;
    case S1BlockKind::Ring:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 100, 0), std::max(1.5, r.width() / 4)));
        p.drawEllipse(r.adjusted(r.width() * 0.22, r.height() * 0.22, -r.width() * 0.22, -r.height() * 0.22));
        p.setPen(QPen(QColor(255, 210, 40), std::max(1.0, r.width() / 8)));
        p.drawEllipse(r.adjusted(r.width() * 0.22, r.height() * 0.22, -r.width() * 0.22, -r.height() * 0.22));
        break;
    case S1BlockKind::Emerald:
        Diamond(p, r, kEmeraldColours[info.variant]);
        break;
    case S1BlockKind::Ghost:
        p.setPen(QPen(QColor(200, 200, 220), 1, Qt::DotLine));
        p.setBrush(QColor(200, 200, 220, 60));
        p.drawRect(r.adjusted(0.5, 0.5, -1.5, -1.5));
        break;
    case S1BlockKind::Switch:
        p.setPen(QPen(QColor(120, 230, 255), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
        break;
    case S1BlockKind::Frame:
        // Frames the game animates by itself: drawn faded, with a spark.
        if (id == 0x31)
            DrawBlock(p, r, zorp::kS1Reverse);
        else if (id == 0x32 || id == 0x33)
            DrawBlock(p, r, zorp::kS1Bumper);
        else if (id >= 0x4B)
            DrawBlock(p, r, zorp::kS1Glass);
        p.fillRect(r, QColor(18, 22, 48, 110));
        Sparkle(p, r, QColor(255, 255, 200));
        break;
    case S1BlockKind::Invisible:
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(QColor(150, 150, 170), Qt::BDiagPattern));
        p.drawRect(r);
        break;
    }
    p.restore();
}

QImage BlockImage(uint8_t id, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawBlock(p, QRectF(0, 0, size, size), id);
    return image;
}

} // namespace

const QImage& S1BlockPicture(uint8_t id)
{
    static const std::array<QImage, 256> pictures = [] {
        std::array<QImage, 256> all;
        for (int code = 0; code < 256; ++code)
            all[static_cast<size_t>(code)] = BlockImage(static_cast<uint8_t>(code), kS1GridCellPixels);
        return all;
    }();
    return pictures[id];
}

QImage S1BlockIcon(uint8_t id, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kFloor);
    QPainter p(&image);
    DrawBlock(p, QRectF(0, 0, size, size), id);
    return image;
}

void PaintS1Cells(QPainter& painter, const zorp::S1Grid& cells, const QRect& area)
{
    const int left = std::max(0, area.left() / kS1GridCellPixels);
    const int top = std::max(0, area.top() / kS1GridCellPixels);
    const int right = std::min(zorp::kS1Side - 1, area.right() / kS1GridCellPixels);
    const int bottom = std::min(zorp::kS1Side - 1, area.bottom() / kS1GridCellPixels);
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column) {
            const QRect cell(column * kS1GridCellPixels, row * kS1GridCellPixels, kS1GridCellPixels, kS1GridCellPixels);
            painter.fillRect(cell, kFloor);
            // A faint line every 8 cells, so positions are easy to count.
            if (column % 8 == 0)
                painter.fillRect(QRect(cell.left(), cell.top(), 1, kS1GridCellPixels), kFloorLine);
            if (row % 8 == 0)
                painter.fillRect(QRect(cell.left(), cell.top(), kS1GridCellPixels, 1), kFloorLine);
            const uint8_t id = cells[static_cast<size_t>(zorp::S1CellIndex(column, row))];
            if (id != 0)
                painter.drawImage(cell.topLeft(), S1BlockPicture(id));
        }
}

void PaintS1Start(QPainter& painter, zorp::S1Start start)
{
    const zorp::S1Cell cell = zorp::S1StartCell(start);
    if (!zorp::IsS1Cell(cell.column, cell.row))
        return;
    // Sonic covers the start cell and its right and lower neighbours.
    const QRectF r(cell.column * kS1GridCellPixels + 1, cell.row * kS1GridCellPixels + 1, 2 * kS1GridCellPixels - 2,
                   2 * kS1GridCellPixels - 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(30, 70, 230));
    painter.drawEllipse(r);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 210, 160));
    painter.drawEllipse(QRectF(r.center().x() - 3, r.center().y() - 1, 6, 5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(r.center().x() - 4, r.top() + 3, 4, 5));
    painter.drawEllipse(QRectF(r.center().x(), r.top() + 3, 4, 5));
    painter.restore();
}

QImage RenderS1StageImage(const zorp::S1Grid& cells, std::optional<zorp::S1Start> start)
{
    QImage image(kS1SurfacePixels, kS1SurfacePixels, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintS1Cells(painter, cells, image.rect());
    if (start)
        PaintS1Start(painter, *start);
    return image;
}

} // namespace zorp::ui
