// Sonic 2's special stage data as decoded from a ROM: the object lists and
// the layout block share the table form. Whatever the bytes, the readers
// answer with a value or a message, writing a read object list gives back
// exactly the bytes it came from (so unchanged stages keep their bytes), and
// the document's edits keep within the game's RAM.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stage/S2StageDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zorp::Bytes input(data, data + size);
    zorp::S2ObjectListsRead lists = zorp::ReadS2ObjectLists(input);
    if (lists.ok()) {
        if (zorp::WriteS2ObjectLists(lists.lists) != input)
            __builtin_trap();
        for (int s = 0; s < zorp::kS2Stages; ++s)
            (void)zorp::CheckS2Stage(lists.lists.stages[static_cast<size_t>(s)], {1, 2, 3, 4}, {1, 2, 3, 4});
    }
    zorp::S2LayoutRead layouts = zorp::ReadS2Layouts(input);
    if (layouts.ok()) {
        zorp::Bytes written = zorp::WriteS2Layouts(layouts.block);
        if (written.size() % zorp::kS2LayoutTileBytes != 0 || written.size() < input.size() ||
            !std::equal(input.begin(), input.end(), written.begin()))
            __builtin_trap();
    }
    if (lists.ok() && layouts.ok()) {
        zorp::S2StageDocument doc(layouts.block, lists.lists, {}, {});
        const size_t objectsBefore = doc.ObjectBytes();
        const size_t layoutsBefore = doc.LayoutSize();
        for (int s = 0; s < zorp::kS2Stages; ++s) {
            (void)doc.InsertSegment(s, doc.SegmentCount(s) / 2);
            (void)doc.AddObject(s, 0, {true, 63, 0x80});
            if (doc.SegmentCount(s) > 1)
                (void)doc.DeleteSegment(s, 0);
        }
        // An edit never takes data that fitted the RAM past it.
        if ((objectsBefore <= zorp::kS2ObjectListRamLimit && doc.ObjectBytes() > zorp::kS2ObjectListRamLimit) ||
            (layoutsBefore <= zorp::kS2LayoutRamLimit && doc.LayoutSize() > zorp::kS2LayoutRamLimit))
            __builtin_trap();
    }
    return 0;
}
