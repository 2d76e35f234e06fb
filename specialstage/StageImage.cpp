#include "specialstage/StageImage.h"

#include <QBuffer>
#include <QPainter>

#include "specialstage/StagePictures.h"
#include "specialstage/StartMarker.h"

namespace zorp::ui {

QImage RenderStageImage(const zorp::StageGrid& cells, const zorp::StartData& start)
{
    QImage image(kSurfacePixels, kSurfacePixels, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int row = 0; row < zorp::kStageSide; ++row)
        for (int column = 0; column < zorp::kStageSide; ++column)
            DrawCell(painter, column, row, cells[zorp::CellIndex(column, row)]);
    if (zorp::IsOnGrid(start.Column, start.Row))
        DrawStartMarker(painter, start.Column, start.Row, start.Direction);
    painter.end();
    return image;
}

zorp::Bytes EncodePng(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return zorp::Bytes(png.begin(), png.end());
}

} // namespace zorp::ui
