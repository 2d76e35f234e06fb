// S1STAGES: Sonic 1 special stages in the ROM.
//
//   POINTERS: 0x1B64C   the table of 32-bit stream addresses (required)
//   STARTPOS: 0x1B664   the start positions, X and Y words per stage
//                       (without it the start is shown but not edited)
//   STAGES: 6           number of stages (1..64)
//   and the relocation keys FORMAT, FREESPACE, FILLER (RelocationKeys.h).
//
// A negative or too large offset, a stage count outside 1..64 or an unusable
// relocation value refuse the block at that line; a missing POINTERS refuses
// it at the end.
#include "template/Conv0x.h"
#include "template/RelocationKeys.h"
#include "template/TemplateBlocks.h"

namespace zorp {

namespace {
constexpr int32_t kMaxS1Stages = 64;
} // namespace

std::optional<TemplateAction> ReadS1StagesBlock(BlockReader& reader, TemplateSettings&)
{
    S1StagesSetup setup;
    std::optional<int32_t> pointers;
    BlockLine line;
    while (reader.Next(line)) {
        std::string error;
        KeyUse use = TakeRelocationKey(line, setup.relocation, error);
        if (use == KeyUse::NotMine) {
            if (line.key == "POINTERS") {
                int32_t offset = -1;
                use = TakeOffsetKey(line, offset, error);
                if (offset >= 0)
                    pointers = offset;
            } else if (line.key == "STARTPOS") {
                use = TakeOffsetKey(line, setup.startTable, error);
            } else if (line.key == "STAGES") {
                const auto n = Conv0x(line.Value(0));
                if (n && (*n < 1 || *n > kMaxS1Stages)) {
                    error = "The number of stages must lie between 1 and 64.";
                    use = KeyUse::Refused;
                } else if (n) {
                    setup.stages = *n;
                }
            }
        }
        if (use == KeyUse::Refused)
            return reader.Refuse(line, error);
    }
    if (!pointers)
        return reader.RefuseBlock("The key POINTERS is missing.");
    setup.pointerTable = *pointers;
    return setup;
}

} // namespace zorp
