// S3S: special stages stored in the ROM.
//
// - Without STARTADDR the special stage editor stays inactive, as the
//   language says: no set-up and no message.
// - COMPRESSED: Y without the codec library: the codec message, and the rest
//   of the block is skipped.
// - STAGES outside 1..65535, COMPLENGTH outside 1..4 MiB or a negative
//   STARTADDR refuse the block at that line; COMPRESSED: Y without a
//   COMPLENGTH refuses it at the end (the save could not tell how much room
//   the stream has).
#include "rom/PubFunctions.h"
#include "template/Conv0x.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"
#include "template/TemplateMessages.h"

namespace zorp {

namespace {

bool Flag(const BlockLine& line) { return UpperAscii(line.Value(0)) == "Y"; }

} // namespace

std::optional<TemplateAction> ReadSpecialStageBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.specialStages;
    state.stages = 1;
    state.extraProps = false;
    state.multiStage = false;
    state.compressed = false;

    BlockLine line;
    while (reader.Next(line)) {
        const std::string& key = line.key;
        if (key == "STARTADDR") {
            std::string error = TakeStartAddress(line, settings);
            if (!error.empty())
                return reader.Refuse(line, error);
        } else if (key == "STAGES") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 1 || *n > kMaxTemplateStages)
                return reader.Refuse(line, "The number of stages must lie between 1 and 65535.");
            state.stages = *n;
        } else if (key == "EXTRAPROPS") {
            state.extraProps = Flag(line);
        } else if (key == "YELLOWSPHERE") {
            state.yellowSphere = Flag(line);
        } else if (key == "MULTISTAGE") {
            state.multiStage = Flag(line);
        } else if (key == "COMPRESSED") {
            state.compressed = Flag(line);
            if (state.compressed && !settings.codecPresent) {
                reader.SkipRest();
                return CodecMissingMessage();
            }
        } else if (key == "COMPLENGTH") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 1 || *n > kMaxCompressedLength)
                return reader.Refuse(line, "COMPLENGTH must lie between 1 and 4194304 bytes.");
            state.compLength = *n;
        }
    }

    if (!settings.startAddress)
        return std::nullopt;
    if (state.compressed && !state.compLength)
        return reader.RefuseBlock("COMPRESSED is Y but the key COMPLENGTH is missing.");

    S3SSetup setup;
    setup.startAddress = *settings.startAddress;
    setup.stages = state.stages;
    setup.extraProps = state.extraProps;
    setup.yellowSphere = state.yellowSphere;
    setup.multiStage = state.multiStage;
    setup.compressed = state.compressed;
    setup.compLength = state.compLength.value_or(0);
    return setup;
}

} // namespace zorp
