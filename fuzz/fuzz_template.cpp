// Templates typed by hand: any text reads into editor set-ups and messages,
// and every set-up it yields drives its editor model over a small ROM without
// reading or planning a write outside it. The ROM is the input itself, padded
// to 4 KiB, so stage blocks and palettes see varied bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <variant>

#include "kosinski/modVorlith_Extract.h"
#include "linked/LinkedStageCodec.h"
#include "palette/PaletteModel.h"
#include "template/LevelSelectTable.h"
#include "template/PlaylistModel.h"
#include "template/StageBlock.h"
#include "template/TemplateCheck.h"
#include "template/TemplateReader.h"
#include "template/WavSample.h"

namespace {

void CheckWrite(const zorp::Patch& write, uint64_t size)
{
    if (write.offset > size || write.bytes.size() > size - write.offset)
        __builtin_trap(); // a write must never lengthen the file
}


// Palettes read, decode and encode back to their own length.
void DrivePalettes(const zorp::PaletteSetup& setup, const zorp::ByteSource& rom)
{
    const zorp::PaletteFormat format = zorp::PaletteFormatFromType(setup.paletteType);
    for (const zorp::PaletteEntry& entry : setup.palettes) {
        if (entry.address < 0 || entry.count <= 0 || static_cast<size_t>(entry.count) > zorp::kMaxPaletteEntries)
            continue; // the editor refuses these rows before reading
        const size_t count = static_cast<size_t>(entry.count);
        const zorp::Bytes bytes = rom.Read(static_cast<uint64_t>(entry.address), 2 * count);
        const auto colors = zorp::DecodePalette(format, bytes, count);
        if (colors.size() != count || zorp::EncodePalette(format, colors).size() != 2 * count)
            __builtin_trap();
    }
}

// A stage block loads whatever the ROM holds there, and its save stays inside
// the ROM and decodes back to the block. Small blocks only: each compressed
// save runs both encoders.
void DriveStages(const zorp::S3SSetup& setup, const zorp::ByteSource& rom, uint64_t romSize)
{
    if (zorp::StageBlockSize(setup) > 2 * 1032)
        return;
    const zorp::StageCodecCalls codec = zorp::LinkedStageCodec();
    zorp::StageBlockLoad load = zorp::LoadStageBlock(setup, rom, codec);
    if (!load.ok())
        return;
    const zorp::Bytes& block = load.store.Block();
    if (block.size() != zorp::StageBlockSize(setup))
        __builtin_trap();
    zorp::StageBlockSave save = zorp::PlanStageBlockSave(setup, block, romSize, codec);
    if (save.ok()) {
        CheckWrite(*save.write, romSize);
        if (setup.compressed) {
            auto decoded = zorp::modVorlith_Extract::Decode(save.write->bytes);
            if (!decoded.Ok() || decoded.output != block || save.write->bytes.size() > save.room)
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    zorp::TemplateReadOptions options;
    options.codecPresent = size > 0 && (data[0] & 1);
    zorp::TemplateResult result = zorp::ReadTemplate(text, options);

    zorp::Bytes rom(data, data + std::min<size_t>(size, 4096));
    rom.resize(4096, 0x41);
    const zorp::ImageSource source(rom);
    // The FITS checks compare within the image, also a short one.
    (void)zorp::CheckTemplateFit(result.fit, zorp::Bytes(data, data + size));
    for (const auto& action : result.actions) {
        std::visit(
            [&](const auto& setup) {
                using T = std::decay_t<decltype(setup)>;
                if constexpr (std::is_same_v<T, zorp::LevelSelectSetup>) {
                    zorp::LevelSelectTable table(setup);
                    table.LoadNames(source);
                    for (const auto& write : table.PlanWrites(rom.size()).writes)
                        CheckWrite(write, rom.size());
                } else if constexpr (std::is_same_v<T, zorp::PlaylistSetup>) {
                    zorp::PlaylistModel playlist(setup);
                    playlist.Load(source);
                    if (auto write = playlist.PlanWrite(source))
                        CheckWrite(*write, rom.size());
                } else if constexpr (std::is_same_v<T, zorp::PaletteSetup>) {
                    DrivePalettes(setup, source);
                } else if constexpr (std::is_same_v<T, zorp::S3SSetup>) {
                    DriveStages(setup, source, rom.size());
                } else if constexpr (std::is_same_v<T, zorp::WavSetup>) {
                    zorp::WavSample wav(setup);
                    wav.LoadFromRom(source);
                    if (auto write = wav.PlanWrite(rom.size()))
                        CheckWrite(*write, rom.size());
                }
            },
            action);
    }

    auto lookup = [](const std::string& id) -> std::optional<zorp::GameRecordInfo> {
        if (id == "S2")
            return zorp::GameRecordInfo{"S2", "Sonic the Hedgehog 2"};
        return std::nullopt;
    };
    (void)zorp::CheckTemplateForGame(text, "S1", lookup);
    return 0;
}
