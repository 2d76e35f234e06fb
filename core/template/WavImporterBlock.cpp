// WAVIMPORTER: the sound sample.
//
// FREQUENCY outside 0..65535 (it must fit the WAV header's 16-bit field),
// WAVLENGTH outside 1..4 MiB or a negative STARTADDR refuse the block at that
// line; a missing STARTADDR or WAVLENGTH refuses it at the end. A frequency
// of 0 (the default) means 16000 Hz.
#include "template/Conv0x.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"

namespace zorp {

std::optional<TemplateAction> ReadWavImporterBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.wav;
    state.frequency = 0;

    BlockLine line;
    while (reader.Next(line)) {
        const std::string& key = line.key;
        if (key == "STARTADDR") {
            std::string error = TakeStartAddress(line, settings);
            if (!error.empty())
                return reader.Refuse(line, error);
        } else if (key == "FREQUENCY") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 0 || *n > kMaxWavFrequency)
                return reader.Refuse(line, "The frequency must lie between 0 and 65535 Hz.");
            state.frequency = *n;
        } else if (key == "WAVLENGTH") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 1 || *n > kMaxWavLength)
                return reader.Refuse(line, "The sample length must lie between 1 and 4194304 bytes.");
            state.length = *n;
        }
    }

    if (!settings.startAddress)
        return reader.RefuseBlock("The key STARTADDR is missing.");
    if (state.length <= 0)
        return reader.RefuseBlock("The key WAVLENGTH is missing.");

    WavSetup setup;
    setup.startAddress = *settings.startAddress;
    setup.length = state.length;
    setup.frequency = state.frequency == 0 ? kDefaultWavFrequency : state.frequency;
    return setup;
}

} // namespace zorp
