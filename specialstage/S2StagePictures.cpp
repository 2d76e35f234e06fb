#include "specialstage/S2StagePictures.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace zorp::ui {

namespace {

constexpr double kInnerShare = 0.18; // the far end of the tube, as a share of the rim
constexpr double kTurn = 2.0 * M_PI / 256.0;

const QColor kBackground(0x10, 0x10, 0x30);
const QColor kFloor(0x30, 0x40, 0x90);
const QColor kRing(0xff, 0xd0, 0x20);
const QColor kBomb(0x20, 0x20, 0x20);
const QColor kCursor(0x40, 0xff, 0x80);

} // namespace

// Room is left around the rim for the nearest objects, which are drawn largest.
double S2CrossSection::outerRadius() const { return std::min(area.width(), area.height()) * 0.44; }

double S2CrossSection::Radius(int distance) const
{
    const double outer = outerRadius();
    return outer - (outer - outer * kInnerShare) * distance / zorp::kS2MaxDistance;
}

QPointF S2CrossSection::Position(uint8_t angle, int distance) const
{
    const double r = Radius(distance);
    const double x = std::cos(angle * kTurn) * r;
    const double y = std::sin(angle * kTurn) * r;
    return centre() + QPointF(mirrored ? -x : x, y);
}

std::optional<std::pair<uint8_t, int>> S2CrossSection::At(QPointF point) const
{
    QPointF d = point - centre();
    if (mirrored)
        d.setX(-d.x());
    const double r = std::hypot(d.x(), d.y());
    const double outer = outerRadius();
    const double inner = outer * kInnerShare;
    if (r > outer + 8 || r < inner - 8)
        return std::nullopt;
    double turns = std::atan2(d.y(), d.x()) / kTurn;
    int angle = static_cast<int>(std::lround(turns)) & 0xFF;
    int distance = static_cast<int>(std::lround((outer - r) / (outer - inner) * zorp::kS2MaxDistance));
    return std::pair{static_cast<uint8_t>(angle), std::clamp(distance, 0, zorp::kS2MaxDistance)};
}

void DrawS2CrossSection(QPainter& painter, const S2CrossSection& section, const zorp::S2ObjectList* list,
                        int selectedObject, std::optional<S2Cursor> cursor)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(section.area, kBackground);
    const QPointF c = section.centre();
    const double outer = section.outerRadius();
    // The floor of the half-pipe: the lower half of the tube.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kFloor);
    painter.drawPie(QRectF(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer), 0, -180 * 16);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x80, 0x90, 0xd0), 1));
    for (int distance : {0, 16, 32, 48, zorp::kS2MaxDistance}) {
        const double r = section.Radius(distance);
        painter.drawEllipse(c, r, r);
    }
    painter.drawLine(QPointF(c.x() - outer, c.y()), QPointF(c.x() + outer, c.y()));

    if (list) {
        // Far objects first, so near ones are drawn over them.
        std::vector<int> order(list->objects.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return list->objects[static_cast<size_t>(a)].distance > list->objects[static_cast<size_t>(b)].distance;
        });
        for (int i : order) {
            const zorp::S2Object& object = list->objects[static_cast<size_t>(i)];
            const QPointF at = section.Position(object.angle, object.distance);
            const double size = std::max(2.5, outer / 18.0 * section.Radius(object.distance) / outer);
            if (object.bomb) {
                painter.setPen(QPen(QColor(0xff, 0x60, 0x20), 1.5));
                painter.setBrush(kBomb);
                painter.drawEllipse(at, size, size);
            } else {
                painter.setPen(QPen(kRing, std::max(1.5, size / 2.5)));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(at, size, size);
            }
            if (i == selectedObject) {
                painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(at, size + 4, size + 4);
            }
        }
    }
    if (cursor) {
        const QPointF at = section.Position(cursor->angle, cursor->distance);
        painter.setPen(QPen(kCursor, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(at.x() - 7, at.y() - 7, 14, 14));
    }
    painter.restore();
}

QImage RenderS2StageImage(const zorp::Bytes& segments, const zorp::S2StageObjects& objects)
{
    constexpr int kPerRow = 8;
    constexpr int kSide = 120;
    constexpr int kLabel = 28;
    const int count = static_cast<int>(std::max(segments.size(), objects.lists.size()));
    const int rows = std::max(1, (count + kPerRow - 1) / kPerRow);
    QImage image(kPerRow * kSide, rows * (kSide + kLabel), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (int i = 0; i < count; ++i) {
        const int x = (i % kPerRow) * kSide;
        const int y = (i / kPerRow) * (kSide + kLabel);
        const bool hasLayout = static_cast<size_t>(i) < segments.size();
        const uint8_t segment = hasLayout ? segments[static_cast<size_t>(i)] : 0;
        const zorp::S2ObjectList* list =
            static_cast<size_t>(i) < objects.lists.size() ? &objects.lists[static_cast<size_t>(i)] : nullptr;
        S2CrossSection section{QRectF(x, y, kSide, kSide), hasLayout && zorp::S2SegmentMirrored(segment)};
        DrawS2CrossSection(painter, section, list);
        painter.setPen(Qt::white);
        const QString type = hasLayout
                                 ? QString::fromStdString(zorp::S2SegmentTypeName(zorp::S2SegmentType(segment)))
                                 : QStringLiteral("(no segment)");
        QString second = list ? QString::fromStdString(zorp::S2MarkerName(list->marker())) : QStringLiteral("(no list)");
        if (hasLayout && zorp::S2SegmentMirrored(segment))
            second += QStringLiteral(", mirrored");
        painter.drawText(QRect(x + 2, y + kSide, kSide - 4, 14), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(i + 1) + QStringLiteral(": ") + type);
        painter.setPen(list && list->marker() != zorp::S2Marker::Plain ? kRing : QColor(0xa0, 0xa0, 0xa0));
        painter.drawText(QRect(x + 2, y + kSide + 13, kSide - 4, 14), Qt::AlignLeft | Qt::AlignVCenter, second);
    }
    painter.end();
    return image;
}

} // namespace zorp::ui
