// Palette files of every format the palette editor and zorptool import:
// Genesis words, JASC-PAL, GIMP, and the palette chunk of a PNG. Whatever the
// bytes, a reader returns colours or a message; colours it returns are
// bounded, and written back in their own format they read back the same.
// They are then placed into a palette as an import would place them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "palette/PaletteFile.h"
#include "palette/PaletteImport.h"
#include "palette/PngPalette.h"

namespace {

void Check(const zorp::PaletteFileRead& read, zorp::PaletteFileFormat format)
{
    if (!read.ok()) {
        if (!read.colors.empty())
            __builtin_trap(); // a refused file hands out no colours
        return;
    }
    if (read.colors.empty() || read.colors.size() > zorp::kMaxPaletteFileColors)
        __builtin_trap();
    const zorp::PaletteFileRead again = zorp::ReadPaletteFile(format, zorp::WritePaletteFile(format, read.colors, "x"));
    if (!again.ok() || again.colors != read.colors)
        __builtin_trap();
    const std::vector<zorp::ScreenColor> palette(48);
    for (int line : {-1, 0, 2, 3}) {
        const zorp::PaletteImport import =
            zorp::PlaceImportedColors(palette, read.colors, zorp::PaletteFormat::Genesis, {line, -1});
        if (import.ok() && (import.colors.size() != palette.size() || import.placed > (line < 0 ? 48 : 16) ||
                            import.snapped > import.placed))
            __builtin_trap();
        if (line == 3 && import.ok())
            __builtin_trap(); // a 48-colour palette has lines 0 to 2
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file(data, data + size);
    Check(zorp::ReadGenesisPaletteFile(file), zorp::PaletteFileFormat::GenesisWords);
    Check(zorp::ReadJascPalFile(file), zorp::PaletteFileFormat::JascPal);
    Check(zorp::ReadGimpPaletteFile(file), zorp::PaletteFileFormat::Gimp);
    (void)zorp::ReadPaletteText(std::string(file.begin(), file.end()));
    const zorp::PngPaletteRead png = zorp::ReadPngPalette(file);
    if (png.kind == zorp::PngPaletteRead::Kind::Indexed && (png.colors.empty() || png.colors.size() > 256))
        __builtin_trap();
    if (png.kind != zorp::PngPaletteRead::Kind::Indexed && !png.colors.empty())
        __builtin_trap();
    return 0;
}
