#include "template/StageExchange.h"

#include <algorithm>

namespace zorp {

namespace {

// The start data a properties section stands for, as the editor reads it.
StartData StartOfSection(const PropertiesSection& section)
{
    StartData start;
    ApplyProperties(section, start);
    return start;
}

} // namespace

std::string StageFileName(int stage, int stageCount)
{
    const size_t width = std::max<size_t>(2, std::to_string(std::max(stageCount, 1)).size());
    std::string number = std::to_string(stage + 1);
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    return "stage" + number + ".s3s";
}

bool ExportStage(const StageStore& store, int stage, bool withStart, int version, Bytes& file, std::string& error)
{
    if (!store.Contains(stage)) {
        error = "there is no stage " + std::to_string(stage + 1);
        return false;
    }
    if (version != 1 && version != 2) {
        error = "S3S files come in versions 1 and 2 only";
        return false;
    }
    const StageRecord record = store.Record(stage);
    const int limit = version == 1 ? 16 : 8;
    for (int i = 0; i < kStageCells; ++i) {
        if (record.cells[static_cast<size_t>(i)] >= limit) {
            error = "cell (column " + std::to_string(i % kStageSide) + ", row " + std::to_string(i / kStageSide) +
                    ") holds the value " + std::to_string(record.cells[static_cast<size_t>(i)]) +
                    ", which an S3S version " + (version == 1 ? "1.00" : "2.00") + " file cannot carry";
            return false;
        }
    }
    const S3STrailer trailer = withStart ? TrailerFromStart(StartOfSection(record.properties)) : S3STrailer{};
    file = version == 1 ? SaveV1SS(record.cells, trailer) : SaveV2SS(record.cells, trailer);
    return true;
}

bool ReadStageFile(const Bytes& file, S3SStage& stage, std::string& error)
{
    const int32_t kind = S3SFileKind(file);
    if (kind == kS3SKindV1 || kind == kS3SKindV2) {
        const size_t needed = kind == kS3SKindV1 ? kS3SV1Size : kS3SV2Size;
        if (file.size() < needed) {
            error = "the S3S file is cut short (" + std::to_string(file.size()) + " of " + std::to_string(needed) +
                    " bytes)";
            return false;
        }
        stage = kind == kS3SKindV1 ? LoadV1SS(file) : LoadV2SS(file);
        return true;
    }
    error = kind == kS3SKindCompilation ? "an S3S/C compilation holds several stages, not one"
                                        : "not an S3S version 1.00 or 2.00 file";
    return false;
}

bool ImportStage(StageStore& store, int stage, const S3SStage& file, bool withStart)
{
    if (!store.Contains(stage))
        return false;
    StageRecord record = store.Record(stage);
    record.cells = file.cells;
    if (withStart) {
        StartData start;
        ApplyTrailer(file.trailer, start);
        const PropertiesSection fromFile = MakeProperties(start);
        // Compared as the editor would write them, so a section the file
        // cannot express exactly is kept when the file says the same thing.
        if (MakeProperties(StartOfSection(record.properties)) != fromFile)
            record.properties = fromFile;
    }
    return store.SetRecord(stage, record);
}

} // namespace zorp
