#include "template/S1StageBlock.h"

#include <cstdio>

namespace zorp {

namespace {

const char* const kNotLoaded = "Special Stages Not Loaded";
const char* const kNotSaved = "Special Stages Not Saved";

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string StageName(int stage) { return "Stage " + std::to_string(stage + 1); }

uint32_t ReadLong(const Bytes& image, uint64_t offset)
{
    return static_cast<uint32_t>(image[offset]) << 24 | static_cast<uint32_t>(image[offset + 1]) << 16 |
           static_cast<uint32_t>(image[offset + 2]) << 8 | image[offset + 3];
}

Bytes Long(uint64_t value)
{
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
}

bool TableInside(int32_t offset, int32_t stages, uint64_t imageSize)
{
    return offset >= 0 && static_cast<uint64_t>(offset) + 4ull * static_cast<uint64_t>(stages) <= imageSize;
}

Message Critical(const char* title, std::vector<std::string> lines)
{
    return Message{MessageIcon::Critical, title, std::move(lines)};
}

// Reads one stage through its pointer; the reason when it cannot be read.
std::string ReadStage(const FormatCalls& calls, CompressionFormat format, const Bytes& image, uint32_t pointer,
                      S1StageData& stage, ByteRange& stream)
{
    const std::string name = CompressionFormatName(format);
    if (pointer >= image.size())
        return "its pointer (" + Hex(pointer) + ") lies outside the ROM (" + std::to_string(image.size()) +
               " bytes).";
    if (pointer % 2 != 0)
        return "its pointer (" + Hex(pointer) + ") is odd; the game reads layouts only at even addresses.";
    const DecodedStream decoded = calls.decode(image, pointer, kS1Cells);
    if (!decoded.ok())
        return "the " + name + " stream at " + Hex(pointer) + " is damaged: " + decoded.error;
    if (decoded.data.size() != static_cast<size_t>(kS1Cells))
        return "the " + name + " stream at " + Hex(pointer) + " gives a layout of " +
               std::to_string(decoded.data.size()) + " bytes, not 4096.";
    std::copy(decoded.data.begin(), decoded.data.end(), stage.cells.begin());
    stream = {pointer, decoded.consumed};
    return {};
}

} // namespace

S1StagesLoad LoadS1Stages(const S1StagesSetup& setup, const Bytes& image, const CodecCalls& codec)
{
    S1StagesLoad result;
    const FormatCalls& calls = codec.For(setup.relocation.format);
    const std::string format = CompressionFormatName(setup.relocation.format);
    if (!calls.decode) {
        std::vector<std::string> lines{"The special stages are " + format + "-compressed, and no " + format +
                                       " decoder is available."};
        if (!codec.unavailableReason.empty())
            lines.push_back(codec.unavailableReason);
        result.error = Critical(kNotLoaded, std::move(lines));
        return result;
    }
    if (setup.stages < 1 || !TableInside(setup.pointerTable, setup.stages, image.size())) {
        result.error = Critical(kNotLoaded, {"The special stage pointer table at " + Hex(setup.pointerTable) +
                                             " does not lie inside the ROM (" + std::to_string(image.size()) +
                                             " bytes)."});
        return result;
    }
    result.startsEditable = setup.startTable >= 0;
    if (result.startsEditable && !TableInside(setup.startTable, setup.stages, image.size())) {
        result.error = Critical(kNotLoaded, {"The start position table at " + Hex(setup.startTable) +
                                             " does not lie inside the ROM (" + std::to_string(image.size()) +
                                             " bytes)."});
        return result;
    }

    const auto count = static_cast<size_t>(setup.stages);
    result.stages.resize(count);
    result.streams.resize(count);
    for (size_t k = 0; k < count; ++k) {
        S1StageData& stage = result.stages[k];
        const uint32_t pointer = ReadLong(image, static_cast<uint64_t>(setup.pointerTable) + 4 * k);
        const std::string reason =
            ReadStage(calls, setup.relocation.format, image, pointer, stage, result.streams[k]);
        if (!reason.empty())
            stage.error = StageName(static_cast<int>(k)) + " cannot be edited: " + reason;
        if (result.startsEditable)
            stage.start = ReadS1Start(image, static_cast<size_t>(setup.startTable) + 4 * k);
    }
    return result;
}

void DeclareS1Streams(const S1StagesSetup& setup, const S1StagesLoad& loaded, FreeSpaceAllocator& allocator)
{
    for (const ByteRange& range : setup.relocation.FreeRanges(allocator.OriginalSize()))
        allocator.AddFreeRange(range);
    for (const ByteRange& stream : loaded.streams)
        allocator.Occupy(stream);
}

S1StagesSave PlanS1StagesSave(const S1StagesSetup& setup, const S1StagesLoad& loaded,
                              const std::vector<S1StageData>& now, const CodecCalls& codec,
                              FreeSpaceAllocator& allocator, bool mayGrow)
{
    S1StagesSave plan;
    auto fail = [&](std::vector<std::string> lines) {
        lines.push_back("Nothing was written.");
        plan.error = Critical(kNotSaved, std::move(lines));
        plan.patches.clear();
        plan.placements.clear();
        return plan;
    };
    if (!loaded.ok() || now.size() != loaded.stages.size())
        return fail({"The special stages were not loaded from this ROM."});
    const FormatCalls& calls = codec.For(setup.relocation.format);
    const std::string format = CompressionFormatName(setup.relocation.format);

    for (size_t k = 0; k < now.size(); ++k) {
        const S1StageData& before = loaded.stages[k];
        const S1StageData& after = now[k];
        const int stage = static_cast<int>(k);
        // A stage that could not be read is never written.
        if (!before.readable())
            continue;
        if (loaded.startsEditable && after.start != before.start) {
            Bytes entry(4);
            WriteS1Start(entry, 0, after.start);
            plan.patches.push_back({static_cast<uint64_t>(setup.startTable) + 4 * k, entry});
        }
        if (after.cells == before.cells)
            continue;

        if (!calls.packSmallest || !calls.decode)
            return fail({"No " + format + " encoder is available to save the changed stages. " +
                         codec.unavailableReason});
        const Bytes layout(after.cells.begin(), after.cells.end());
        const EncodedStream encoded = calls.packSmallest(layout);
        if (!encoded.ok() || encoded.stream.empty())
            return fail({StageName(stage) + " could not be encoded: " +
                         (encoded.error.empty() ? std::string("the encoder returned nothing.") : encoded.error)});
        // Never write a stream that does not give back exactly this layout.
        const DecodedStream check = calls.decode(encoded.stream, 0, kS1Cells);
        if (!check.ok() || check.data != layout)
            return fail({StageName(stage) + ": the " + format +
                         " stream made for it does not decode to the stage being saved."});

        const std::optional<Placement> placed =
            allocator.Place(loaded.streams[k], encoded.stream.size(), mayGrow);
        if (!placed) {
            if (mayGrow)
                return fail({StageName(stage) + " (" + std::to_string(encoded.stream.size()) +
                             " bytes) does not fit even in a ROM grown to the 4 MiB the console maps."});
            plan.needsGrowth = true;
            continue;
        }
        plan.placements.push_back({stage, encoded.stream.size(), *placed});
        plan.patches.push_back({placed->offset, encoded.stream});
        if (placed->offset != loaded.streams[k].offset)
            plan.patches.push_back({static_cast<uint64_t>(setup.pointerTable) + 4 * k, Long(placed->offset)});
    }
    if (plan.needsGrowth) {
        plan.patches.clear();
        plan.placements.clear();
    }
    return plan;
}

std::vector<std::string> DescribeS1Placements(const std::vector<S1StagePlacement>& placements, uint64_t oldSize,
                                              uint64_t newSize)
{
    std::vector<std::string> lines;
    for (const S1StagePlacement& p : placements) {
        if (p.placement.kind == PlacementKind::FreeSpace)
            lines.push_back(StageName(p.stage) + " (" + std::to_string(p.length) +
                            " bytes) did not fit its old place and was moved to free space at " +
                            Hex(p.placement.offset) + ".");
        else if (p.placement.kind == PlacementKind::Appended)
            lines.push_back(StageName(p.stage) + " (" + std::to_string(p.length) + " bytes) was put at " +
                            Hex(p.placement.offset) + ", after the old end of the ROM.");
    }
    if (newSize > oldSize)
        lines.push_back("The ROM grew from " + std::to_string(oldSize / 1024) + " KiB to " +
                        std::to_string(newSize / 1024) + " KiB.");
    return lines;
}

std::string S1LayoutFileName(int stage) { return "stage" + std::to_string(stage + 1) + ".bin"; }

std::string S1StreamFileName(int stage, CompressionFormat format)
{
    const char* extension = format == CompressionFormat::Enigma    ? ".eni"
                            : format == CompressionFormat::Nemesis ? ".nem"
                            : format == CompressionFormat::Kosinski ? ".kos"
                                                                    : ".kosm";
    return "stage" + std::to_string(stage + 1) + extension;
}

std::string S1StartFileName(int stage) { return "start" + std::to_string(stage + 1) + ".bin"; }

Bytes S1StreamBytes(const S1StagesLoad& loaded, const Bytes& image, int stage)
{
    if (stage < 0 || static_cast<size_t>(stage) >= loaded.streams.size())
        return {};
    const ByteRange& r = loaded.streams[static_cast<size_t>(stage)];
    if (r.length == 0 || r.end() > image.size())
        return {};
    const uint64_t end = std::min<uint64_t>(r.end() + (r.length % 2), image.size());
    return Bytes(image.begin() + static_cast<std::ptrdiff_t>(r.offset),
                 image.begin() + static_cast<std::ptrdiff_t>(end));
}

} // namespace zorp
