// The Sonic 1 special stage reader and save planner on arbitrary bytes: the
// input is an image's data after a 512-byte head holding the layout pointer
// table and the start table (and the cartridge header's place, which the
// save road writes). Stage 1 points at the input's first byte (the
// real streams are the seeds), the others at offsets taken from it. Every
// stage read must be a whole 4096-byte layout inside the image; when stage 1
// reads, an edit of it is planned through the free-space allocator (growth
// allowed), and the written image must read back with the edit and every
// other stage unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "linked/LinkedCodecs.h"
#include "rom/RomSave.h"
#include "template/S1StageBlock.h"

namespace {

constexpr size_t kHead = 0x200;
constexpr int32_t kPointers = 0x40;
constexpr int32_t kStarts = 0x58;

void Put32(zorp::Bytes& image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    zorp::Bytes image(kHead, 0);
    image.insert(image.end(), data, data + size);
    for (size_t k = 0; k < 6; ++k) {
        const size_t pick = k < size ? data[k] : 0;
        const uint32_t at = static_cast<uint32_t>(kHead + (k == 0 || size == 0 ? 0 : (pick * 61) % size));
        // Stage 6 may point past the end or at an odd byte.
        Put32(image, kPointers + 4 * k, k == 5 ? at + (pick & 1) + (pick > 250 ? 0x100000 : 0) : at & ~1u);
    }
    zorp::S1StagesSetup setup;
    setup.pointerTable = kPointers;
    setup.startTable = kStarts;
    setup.relocation.freeRanges = {{static_cast<int64_t>(kHead + size / 2), static_cast<int64_t>(kHead + size), false}};
    const zorp::CodecCalls codec = zorp::LinkedCodecCalls();
    const zorp::S1StagesLoad load = zorp::LoadS1Stages(setup, image, codec);
    if (!load.ok() || load.stages.size() != 6)
        __builtin_trap();
    for (size_t k = 0; k < 6; ++k)
        if (load.stages[k].readable() && load.streams[k].end() > image.size())
            __builtin_trap();
    if (!load.stages[0].readable())
        return 0;

    std::vector<zorp::S1StageData> now = load.stages;
    now[0].cells[size % zorp::kS1Cells] ^= 0x3A;
    zorp::FreeSpaceAllocator allocator(image);
    zorp::DeclareS1Streams(setup, load, allocator);
    const zorp::S1StagesSave plan = zorp::PlanS1StagesSave(setup, load, now, codec, allocator, true);
    if (!plan.ok())
        return 0;
    zorp::Bytes saved = image;
    if (!zorp::GrowImage(saved, allocator.ImageSize(), allocator.Filler()) || !zorp::ApplyPatches(saved, plan.patches))
        __builtin_trap();
    const zorp::S1StagesLoad again = zorp::LoadS1Stages(setup, saved, codec);
    if (again.stages[0].cells != now[0].cells)
        __builtin_trap();
    for (size_t k = 1; k < 6; ++k)
        if (load.stages[k].readable() && again.stages[k].cells != load.stages[k].cells)
            __builtin_trap();
    return 0;
}
