// Templates typed by hand: any text reads into editor set-ups and messages,
// and every set-up it yields drives its editor model over a small ROM without
// reading or planning a write outside it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <variant>

#include "template/LevelSelectTable.h"
#include "template/PlaylistModel.h"
#include "template/TemplateCheck.h"
#include "template/TemplateReader.h"
#include "template/WavSample.h"

namespace {

void CheckWrite(const zorp::ByteWrite& write, uint64_t size)
{
    if (write.offset > size || write.bytes.size() > size - write.offset)
        __builtin_trap(); // a write must never lengthen the file
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    zorp::TemplateReadOptions options;
    options.codecPresent = size > 0 && (data[0] & 1);
    zorp::TemplateResult result = zorp::ReadTemplate(text, options);

    const zorp::Bytes rom(4096, 0x41);
    const zorp::ImageSource source(rom);
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
