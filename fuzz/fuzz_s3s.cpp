// S3S files of every kind: the kind test, both single-stage readers, and the
// compilation index and stage loader, which must refuse what runs past the
// end of the file instead of reading it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stage/S3SFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file(data, data + size);
    switch (zorp::S3SFileKind(file)) {
    case zorp::kS3SKindV1: {
        zorp::S3SStage stage = zorp::LoadV1SS(file);
        zorp::StartData start;
        zorp::ApplyTrailer(stage.trailer, start);
        if (start.Rings > zorp::kMaxRings)
            __builtin_trap();
        break;
    }
    case zorp::kS3SKindV2: {
        zorp::S3SStage stage = zorp::LoadV2SS(file);
        if (stage.comment && stage.comment->size() > file.size())
            __builtin_trap();
        break;
    }
    default:
        break;
    }
    // The compilation reader is tried on everything: its own checks must hold.
    zorp::S3SCIndex index;
    std::string error;
    if (zorp::ReadS3SCIndex(file, index, error)) {
        const int count = static_cast<int>(index.entries.size());
        for (int k = 0; k < count && k < 64; ++k) {
            zorp::S3SStage stage;
            (void)zorp::LoadS3SCStage(file, index, k, stage, error);
        }
        zorp::S3SStage stage;
        if (zorp::LoadS3SCStage(file, index, count, stage, error))
            __builtin_trap(); // one past the last entry never loads
    }
    return 0;
}
