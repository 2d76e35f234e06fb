// Cartridge images in any layout, including SMD series whose parts come from
// the fuzz input: the input is cut at each "|PART|" marker into GAME.1,
// GAME.2, ... and the first part is detected. Whatever the bytes, detection
// either refuses with a message or yields an image no larger than its input.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "rom/RomFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::map<std::string, zorp::Bytes> files;
    int part = 1;
    for (;;) {
        size_t cut = input.find("|PART|");
        std::string_view piece = input.substr(0, cut);
        files["GAME." + std::to_string(part++)] = zorp::Bytes(piece.begin(), piece.end());
        if (cut == std::string_view::npos)
            break;
        input.remove_prefix(cut + 6);
    }
    zorp::RomFileAccess access{
        [&](const std::string& path) -> std::optional<uint64_t> {
            auto it = files.find(path);
            if (it == files.end())
                return std::nullopt;
            return it->second.size();
        },
        [&](const std::string& path, uint64_t maxSize) -> std::optional<zorp::Bytes> {
            auto it = files.find(path);
            if (it == files.end() || it->second.size() > maxSize)
                return std::nullopt;
            return it->second;
        }};
    zorp::RomFormatResult result = zorp::DetectRomFormat("GAME.1", access);
    if (result.ok() && result.image.size() > size)
        __builtin_trap();
    if (!result.ok() && (result.layout != zorp::kLayoutUnknown && result.error->title.empty()))
        __builtin_trap();
    if (result.recognised()) {
        zorp::Bytes image = result.image;
        zorp::PadRomImage(image);
        (void)zorp::HeaderReportLines(image, result.image.size());
        for (auto format : {zorp::RomOutputFormat::Binary, zorp::RomOutputFormat::Smd, zorp::RomOutputFormat::Mgd})
            (void)zorp::ConvertedRomBytes(image, format, true);
    }
    return 0;
}
