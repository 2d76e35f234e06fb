// Cartridge images in any layout, including SMD series whose parts come from
// the fuzz input: the input is cut at each "|PART|" marker into GAME.1,
// GAME.2, ... and the first part is detected. Whatever the bytes, detection
// either refuses with a message or yields an image no larger than its input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // The parts as views into the input; a part is copied only when read.
    // The detector never asks for a part past the limit, so the rest of the
    // input stays in the last part.
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t cut = parts.size() < static_cast<size_t>(zorp::kMaxSmdSeriesParts) ? input.find("|PART|")
                                                                                         : std::string_view::npos;
        parts.push_back(input.substr(0, cut));
        if (cut == std::string_view::npos)
            break;
        input.remove_prefix(cut + 6);
    }
    // "GAME.N" names part N.
    auto partOf = [&](const std::string& path) -> const std::string_view* {
        constexpr std::string_view kStem = "GAME.";
        if (path.size() <= kStem.size() || path.size() > kStem.size() + 4 || path.compare(0, kStem.size(), kStem) != 0)
            return nullptr;
        size_t number = 0;
        for (size_t k = kStem.size(); k < path.size(); ++k) {
            if (path[k] < '0' || path[k] > '9')
                return nullptr;
            number = number * 10 + static_cast<size_t>(path[k] - '0');
        }
        return number >= 1 && number <= parts.size() && path[kStem.size()] != '0' ? &parts[number - 1] : nullptr;
    };
    zorp::RomFileAccess access{
        [&](const std::string& path) -> std::optional<uint64_t> {
            const std::string_view* part = partOf(path);
            if (part == nullptr)
                return std::nullopt;
            return part->size();
        },
        [&](const std::string& path, uint64_t maxSize) -> std::optional<zorp::Bytes> {
            const std::string_view* part = partOf(path);
            if (part == nullptr || part->size() > maxSize)
                return std::nullopt;
            return zorp::Bytes(part->begin(), part->end());
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
