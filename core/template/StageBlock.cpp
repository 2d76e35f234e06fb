#include "template/StageBlock.h"

#include <cstdio>
#include <string>

namespace zorp {

namespace {

// Offsets are shown upper-case hexadecimal without a prefix, as elsewhere in
// the program's messages.
std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string Count(uint64_t value) { return std::to_string(value); }

Message Critical(const std::string& title, std::vector<std::string> lines)
{
    return Message{MessageIcon::Critical, title, std::move(lines)};
}

Message Warning(std::vector<std::string> lines)
{
    return Message{MessageIcon::Exclamation, "Special Stages Incomplete", std::move(lines)};
}

const char* const kNotSaved = "The special stages were not saved.";

Message BlockPastEndMessage(uint64_t start, uint64_t length, uint64_t fileSize)
{
    return Critical("Special Stages Not Saved",
                    {"The special stage block at " + Hex(start) + " (" + Count(length) +
                         " bytes) does not lie inside the ROM file (" + Count(fileSize) + " bytes).",
                     kNotSaved});
}

Message CompressionFailedMessage(const std::string& reason)
{
    return Critical("Compression Failed", {reason, kNotSaved});
}

// The start address as an offset; the template reader refuses negative ones,
// but a set-up may come from elsewhere.
std::optional<uint64_t> StartOf(const S3SSetup& setup)
{
    if (setup.startAddress < 0)
        return std::nullopt;
    return static_cast<uint64_t>(setup.startAddress);
}

} // namespace

uint64_t StageBlockSize(const S3SSetup& setup)
{
    return setup.stages > 0 ? static_cast<uint64_t>(setup.stages) * kStageRecordSize : 0;
}

uint64_t StageBlockRomLength(const S3SSetup& setup)
{
    if (!setup.compressed)
        return StageBlockSize(setup);
    return setup.compLength > 0 ? static_cast<uint64_t>(setup.compLength) : 0;
}

StageBlockLoad LoadStageBlock(const S3SSetup& setup, const ByteSource& rom, const StageCodecCalls& codec)
{
    StageBlockLoad result;
    const auto start = StartOf(setup);
    if (!start) {
        result.error = Critical("Special Stages Not Loaded", {"The special stage block has a negative start address."});
        return result;
    }
    if (!StageStore::IsValidStageCount(setup.stages)) {
        result.error = Critical("Special Stages Not Loaded",
                                {"The number of special stages must be between 1 and " +
                                 std::to_string(kMaxStageRecords) + "."});
        return result;
    }
    if (setup.compressed && setup.compLength <= 0) {
        result.error = Critical("Special Stages Not Loaded",
                                {"The template gives no room (COMPLENGTH) for the compressed special stages."});
        return result;
    }

    const uint64_t romLength = StageBlockRomLength(setup);
    const uint64_t wanted = StageBlockSize(setup);
    if (!FitsInFile(*start, romLength, rom.Size())) {
        result.complete = false;
        result.warnings.push_back(Warning(
            {"The special stage block at " + Hex(*start) + " (" + Count(romLength) +
                 " bytes) reaches past the end of the ROM file (" + Count(rom.Size()) + " bytes).",
             "The missing bytes read as 0, and the stages cannot be saved into this file."}));
    }

    // Both lengths are bounded: 1032 * 65535 and COMPLENGTH (the template
    // reader limits it to 4 MiB).
    Bytes raw = rom.Read(*start, static_cast<size_t>(romLength));
    Bytes block;
    if (!setup.compressed) {
        block = std::move(raw);
    } else {
        bool decoded = false;
        if (codec.decompress)
            decoded = codec.decompress(raw, block);
        if (!decoded || block.size() < wanted)
            result.complete = false;
        if (!decoded)
            result.warnings.push_back(
                Warning({"The compressed special stages could not be decompressed completely: " +
                             Count(block.size()) + " of " + Count(wanted) + " bytes were recovered.",
                         "The stages that could not be read are empty."}));
        else if (block.size() < wanted)
            result.warnings.push_back(
                Warning({"The compressed special stages hold only " + Count(block.size()) + " of the " +
                             Count(wanted) + " bytes of " + Count(static_cast<uint64_t>(setup.stages)) + " stages.",
                         "The missing bytes read as 0."}));
        else if (block.size() > wanted)
            result.warnings.push_back(
                Warning({"The compressed special stages hold " + Count(block.size()) + " bytes, more than the " +
                             Count(wanted) + " bytes of " + Count(static_cast<uint64_t>(setup.stages)) + " stages.",
                         "Only the first " + Count(static_cast<uint64_t>(setup.stages)) +
                             " stages are kept; saving writes only those."}));
    }

    std::string error;
    if (!result.store.Load(setup.stages, block, error))
        result.error = Critical("Special Stages Not Loaded", {error});
    return result;
}

StageBlockSave PlanStageBlockSave(const S3SSetup& setup, const Bytes& block, uint64_t fileSize,
                                  const StageCodecCalls& codec)
{
    StageBlockSave plan;
    plan.blockSize = block.size();
    plan.room = setup.compressed && setup.compLength > 0 ? static_cast<uint64_t>(setup.compLength) : 0;

    if (block.size() != StageBlockSize(setup) || block.empty()) {
        plan.error = Critical("Special Stages Not Saved",
                              {"The stage block holds " + Count(block.size()) + " bytes, not the " +
                                   Count(StageBlockSize(setup)) + " bytes of the template's stages.",
                               kNotSaved});
        return plan;
    }
    const auto start = StartOf(setup);
    const uint64_t romLength = StageBlockRomLength(setup);
    if (!start || romLength == 0 || !FitsInFile(*start, romLength, fileSize)) {
        plan.error = BlockPastEndMessage(start.value_or(0), romLength, fileSize);
        return plan;
    }

    if (!setup.compressed) {
        plan.write = Patch{*start, block};
        return plan;
    }

    if (!codec.compress) {
        plan.error = CompressionFailedMessage("No Kosinski compressor is available.");
        return plan;
    }
    Bytes stream;
    if (!codec.compress(block, stream)) {
        plan.error = CompressionFailedMessage("The special stages could not be compressed.");
        return plan;
    }
    plan.exactSize = stream.size();
    plan.encoder = StageEncoder::Exact;
    // The exact encoder keeps the bytes a ROM was laid out with; only when its
    // stream is too long is the smallest stream worth its different bytes.
    if (stream.size() > plan.room && codec.compressSmallest) {
        Bytes smallest;
        if (!codec.compressSmallest(block, smallest)) {
            plan.encoder = StageEncoder::None;
            plan.error = CompressionFailedMessage("The special stages could not be compressed.");
            return plan;
        }
        plan.smallestSize = smallest.size();
        if (smallest.size() <= plan.room) {
            stream = std::move(smallest);
            plan.encoder = StageEncoder::Smallest;
        }
    }
    if (stream.size() > plan.room) {
        plan.encoder = StageEncoder::None;
        plan.error = OutOfSpaceMessage();
        return plan;
    }
    if (stream.empty()) {
        plan.encoder = StageEncoder::None;
        plan.error = CompressionFailedMessage("The compressor returned no data.");
        return plan;
    }

    // Never write a stream that does not give back exactly these stages.
    Bytes check;
    if (!codec.decompress || !codec.decompress(stream, check) || check != block) {
        plan.encoder = StageEncoder::None;
        plan.error = CompressionFailedMessage(
            "The compressed special stages do not decompress to the stages being saved.");
        return plan;
    }
    plan.write = Patch{*start, std::move(stream)};
    return plan;
}

Message CompressionQuestion()
{
    return Message{MessageIcon::Question,
                   "Compression Information",
                   {"This ROM requires the special stages to be compressed.",
                    "Compressing them can take from a few minutes to an hour.", "",
                    "Do you want to save the special stages now?"}};
}

Message StagesCompressedMessage()
{
    return Message{MessageIcon::Information,
                   "Special Stages Compressed",
                   {"The compressed special stages have been saved."}};
}

Message OutOfSpaceMessage()
{
    return Critical("Out of Space", {"Error: The compressed special stages are larger than allocated in the ROM.",
                                     "Please rearrange your special stages."});
}

} // namespace zorp
