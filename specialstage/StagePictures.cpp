#include "specialstage/StagePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>
#include <array>

#include "specialstage/StartMarker.h"

namespace zorp::ui {

namespace {

constexpr int kToolIconPixels = 16;

QImage TransparentImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPolygonF StarPolygon(QPointF centre, double outer, double inner)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = (i % 2 == 0) ? outer : inner;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return star;
}

// A shaded ball lit from the top left.
QImage Sphere(QColor base, bool starMark)
{
    QImage image = TransparentImage(kCellPixels);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(4.3, 4.0), 7.8, QPointF(3.6, 3.3));
    shade.setColorAt(0.0, base.lighter(185));
    shade.setColorAt(0.4, base);
    shade.setColorAt(1.0, base.darker(200));
    p.setBrush(shade);
    p.setPen(QPen(base.darker(260), 0.8));
    p.drawEllipse(QRectF(0.6, 0.6, 10.8, 10.8));
    if (starMark) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(StarPolygon(QPointF(6.0, 6.3), 4.0, 1.7));
    }
    return image;
}

QImage GoldRing()
{
    QImage image = TransparentImage(kCellPixels);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 100, 0), 3.2));
    p.drawEllipse(QRectF(2.2, 2.2, 7.6, 7.6));
    p.setPen(QPen(QColor(250, 200, 30), 1.8));
    p.drawEllipse(QRectF(2.2, 2.2, 7.6, 7.6));
    p.setPen(QPen(QColor(255, 245, 180), 1.0));
    p.drawArc(QRectF(2.2, 2.2, 7.6, 7.6), 100 * 16, 70 * 16);
    return image;
}

const std::array<QImage, 6>& Pictures()
{
    static const std::array<QImage, 6> pictures = {
        QImage(),                           // 0 Empty: the floor only
        Sphere(QColor(220, 30, 30), false), // 1 Red
        Sphere(QColor(30, 80, 235), false), // 2 Blue
        Sphere(QColor(165, 40, 190), true), // 3 Star
        GoldRing(),                         // 4 Ring
        Sphere(QColor(240, 200, 10), false) // 5 Yellow
    };
    return pictures;
}

QImage ToolImage(const QString& key)
{
    QImage image = TransparentImage(kToolIconPixels);
    QPainter p(&image);
    const QPoint cellAt(2, 2);
    auto floorCell = [&] {
        p.fillRect(QRect(cellAt, QSize(kCellPixels, kCellPixels)), CellBackground(0, 0));
        p.setPen(QColor(140, 150, 170));
        p.drawRect(QRect(cellAt, QSize(kCellPixels - 1, kCellPixels - 1)));
    };
    static const QStringList objectKeys = {QString(), "Red", "Blue", "Star", "Ring", "Yellow"};
    const int code = objectKeys.indexOf(key);
    if (code > 0) {
        p.drawImage(cellAt, CellPicture(code));
    } else if (key == "Empty") {
        floorCell();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 2.0));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    } else if (key == "Clear") {
        // An empty stretch of floor.
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                p.fillRect(QRect(1 + 3 * column + 1, 1 + 3 * row + 1, 3, 3), CellBackground(column, row).darker(115));
        p.setPen(QColor(110, 120, 140));
        p.drawRect(QRect(1, 1, 13, 13));
    } else if (key == "Export" || key == "Import") {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(90, 90, 90), 1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 8, 12));
        p.setPen(QPen(QColor(160, 160, 160), 1.0));
        for (int y = 4; y <= 11; y += 2)
            p.drawLine(QPointF(3.5, y + 0.5), QPointF(7.5, y + 0.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 150, 40));
        QPolygonF arrow;
        if (key == "Export") // out of the page to the right
            arrow << QPointF(6, 7) << QPointF(10, 7) << QPointF(10, 4.5) << QPointF(15, 8.5) << QPointF(10, 12.5)
                  << QPointF(10, 10) << QPointF(6, 10);
        else // into the page from the right
            arrow << QPointF(15, 7) << QPointF(10, 7) << QPointF(10, 4.5) << QPointF(5, 8.5) << QPointF(10, 12.5)
                  << QPointF(10, 10) << QPointF(15, 10);
        p.drawPolygon(arrow);
    }
    return image;
}

} // namespace

const QImage& CellPicture(int code)
{
    static const QImage none;
    if (code < 0 || code >= static_cast<int>(Pictures().size()))
        return none;
    return Pictures()[static_cast<size_t>(code)];
}

QColor CellBackground(int column, int row)
{
    return ((column + row) % 2 == 0) ? QColor(222, 228, 238) : QColor(200, 210, 226);
}

void DrawCell(QPainter& painter, int column, int row, int code)
{
    if (column < 0 || column >= 32 || row < 0 || row >= 32)
        return;
    const QPoint topLeft(column * kCellPixels, row * kCellPixels);
    painter.fillRect(QRect(topLeft, QSize(kCellPixels, kCellPixels)), CellBackground(column, row));
    const QImage& picture = CellPicture(code);
    if (!picture.isNull())
        painter.drawImage(topLeft, picture);
}

void DrawStartMarker(QPainter& painter, int column, int row, int direction)
{
    const auto lines = StartMarkerLines(direction);
    if (!lines || column < 0 || column >= 32 || row < 0 || row >= 32)
        return;
    const int x = column * kCellPixels;
    const int y = row * kCellPixels;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0)); // cosmetic: exactly one pixel wide
    for (const PixelLine& line : *lines)
        painter.drawLine(x + line.x1, y + line.y1, x + line.x2, y + line.y2);
    painter.restore();
}

QIcon ToolIcon(const QString& key)
{
    if (key == "Arrow") {
        // The marker itself, drawn on a cell placed like the other pictures.
        QImage image = TransparentImage(kToolIconPixels);
        QPainter p(&image);
        p.fillRect(QRect(2, 2, kCellPixels, kCellPixels), CellBackground(0, 0));
        p.translate(2, 2);
        DrawStartMarker(p, 0, 0, S3S_Up);
        p.end();
        return QIcon(QPixmap::fromImage(image));
    }
    return QIcon(QPixmap::fromImage(ToolImage(key)));
}

QIcon DirectionArrowIcon(int direction)
{
    constexpr int size = 24;
    QImage image = TransparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    // Drawn pointing up, then turned.
    switch (direction) {
    case S3S_Down: p.rotate(180); break;
    case S3S_Left: p.rotate(-90); break;
    case S3S_Right: p.rotate(90); break;
    default: break;
    }
    QPolygonF arrow;
    arrow << QPointF(0, -10) << QPointF(9, 0) << QPointF(3.5, 0) << QPointF(3.5, 10) << QPointF(-3.5, 10)
          << QPointF(-3.5, 0) << QPointF(-9, 0);
    p.setPen(QPen(QColor(10, 30, 90), 1.2));
    p.setBrush(QColor(40, 90, 220));
    p.drawPolygon(arrow);
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace zorp::ui
