#include "palette/PalettePng.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "palette/PngPalette.h"
#include "rom/Bytes.h"

namespace zorp::ui {

namespace {

constexpr int kSwatchSize = 16;
// Larger pictures are no swatch strip; they are refused before decoding.
constexpr int kMaxStripPixels = 16 * 1024 * 1024;

zorp::PaletteFileRead Fail(std::string error) { return {{}, std::move(error)}; }

// The colours of a strip of square swatches, or a message.
zorp::PaletteFileRead ReadSwatchStrip(const std::vector<uint8_t>& bytes, uint32_t width, uint32_t height)
{
    const std::string noPalette =
        "The PNG image has no palette, and it is no swatch strip (a row of equal squares, each of one colour).";
    const bool row = width % height == 0;
    const bool column = height % width == 0;
    if (!row && !column)
        return Fail(noPalette);
    if (static_cast<uint64_t>(width) * height > kMaxStripPixels)
        return Fail("The PNG image is " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels, too large for a swatch strip.");
    const int side = static_cast<int>(row ? height : width);
    const uint32_t count = row ? width / height : height / width;
    if (count > zorp::kMaxPaletteFileColors)
        return Fail("The swatch strip holds " + std::to_string(count) + " swatches; a palette holds at most " +
                    std::to_string(zorp::kMaxPaletteFileColors) + ".");
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "png");
    QImage image = reader.read();
    if (image.isNull())
        return Fail("The PNG image cannot be decoded: " + reader.errorString().toStdString() + ".");
    image = image.convertToFormat(QImage::Format_RGB32);
    zorp::PaletteFileRead read;
    read.colors.reserve(count);
    for (uint32_t k = 0; k < count; ++k) {
        const int x0 = row ? static_cast<int>(k) * side : 0;
        const int y0 = row ? 0 : static_cast<int>(k) * side;
        const QRgb colour = image.pixel(x0, y0);
        for (int y = y0; y < y0 + side; ++y)
            for (int x = x0; x < x0 + side; ++x)
                if (image.pixel(x, y) != colour)
                    return Fail(noPalette);
        read.colors.push_back({static_cast<uint8_t>(qRed(colour)), static_cast<uint8_t>(qGreen(colour)),
                               static_cast<uint8_t>(qBlue(colour))});
    }
    return read;
}

} // namespace

zorp::PaletteFileRead ReadPalettePng(const std::vector<uint8_t>& bytes)
{
    const zorp::PngPaletteRead png = zorp::ReadPngPalette(bytes);
    switch (png.kind) {
    case zorp::PngPaletteRead::Kind::Broken:
        return Fail(png.error);
    case zorp::PngPaletteRead::Kind::Indexed:
        return {png.colors, {}};
    case zorp::PngPaletteRead::Kind::NoPalette:
        break;
    }
    return ReadSwatchStrip(bytes, png.width, png.height);
}

std::vector<uint8_t> WritePalettePng(const std::vector<zorp::ScreenColor>& colors)
{
    if (colors.empty() || colors.size() > zorp::kMaxPaletteFileColors)
        return {};
    const int width = kSwatchSize * static_cast<int>(colors.size());
    // An indexed PNG holds at most 256 colours; a longer palette is written
    // as a true-colour strip, which imports as well.
    QImage strip;
    if (colors.size() <= 256) {
        strip = QImage(width, kSwatchSize, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (const zorp::ScreenColor& c : colors)
            table << qRgb(c.r, c.g, c.b);
        strip.setColorTable(table);
        for (int y = 0; y < kSwatchSize; ++y)
            for (int x = 0; x < width; ++x)
                strip.setPixel(x, y, static_cast<uint>(x / kSwatchSize));
    } else {
        strip = QImage(width, kSwatchSize, QImage::Format_RGB32);
        for (int y = 0; y < kSwatchSize; ++y)
            for (int x = 0; x < width; ++x) {
                const zorp::ScreenColor& c = colors[static_cast<size_t>(x / kSwatchSize)];
                strip.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!strip.save(&buffer, "PNG"))
        return {};
    return {data.begin(), data.end()};
}

zorp::PaletteFileRead ReadPaletteFileAt(const std::string& path)
{
    const auto format = zorp::PaletteFileFormatOfPath(path);
    if (!format)
        return Fail("The file name does not end in .bin, .pal, .gpl or .png, so its palette format is unknown.");
    const auto size = zorp::FileSize(path);
    if (!size)
        return Fail("The file does not exist or cannot be opened.");
    if (*size > zorp::kMaxPaletteFileSize)
        return Fail("The file is larger than " + std::to_string(zorp::kMaxPaletteFileSize >> 10) +
                    " KiB, too large for a palette.");
    const auto bytes = zorp::ReadFileBytes(path, zorp::kMaxPaletteFileSize);
    if (!bytes)
        return Fail("The file cannot be read.");
    if (*format == zorp::PaletteFileFormat::Png)
        return ReadPalettePng(*bytes);
    return zorp::ReadPaletteFile(*format, *bytes);
}

std::string WritePaletteFileAt(const std::string& path, const std::vector<zorp::ScreenColor>& colors,
                               const std::string& name)
{
    const auto format = zorp::PaletteFileFormatOfPath(path);
    if (!format)
        return "the file name does not end in .bin, .pal, .gpl or .png";
    if (colors.empty())
        return "the palette holds no colour";
    std::vector<uint8_t> bytes;
    if (*format == zorp::PaletteFileFormat::Png) {
        bytes = WritePalettePng(colors);
        if (bytes.empty())
            return "the PNG image could not be made";
    } else {
        bytes = zorp::WritePaletteFile(*format, colors, name);
    }
    return zorp::WriteFileBytes(path, bytes);
}

} // namespace zorp::ui
