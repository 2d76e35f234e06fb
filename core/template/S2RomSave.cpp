#include "template/S2RomSave.h"

namespace zorp {

namespace {

// Adds one stream's plan to a save.
void Take(S2Save& save, StreamSave stream, const std::string& what)
{
    if (stream.error && !save.error)
        save.error = stream.error;
    save.needsRoom = save.needsRoom || stream.needsRoom;
    if (stream.changed()) {
        save.placements.push_back(DescribePlacement(what, stream));
        save.moved = save.moved || (stream.placement && stream.placement->kind != PlacementKind::InPlace);
        for (Patch& patch : stream.patches)
            save.patches.push_back(std::move(patch));
    }
}

} // namespace

void DeclareS2SpecialStages(const S2SpecialStageSetup& setup, const S2SpecialStageLoad& load,
                            FreeSpaceAllocator& allocator)
{
    for (const ByteRange& range : setup.relocation.FreeRanges(allocator.OriginalSize()))
        allocator.AddFreeRange(range);
    allocator.Occupy(Occupied(load.layoutStream));
    allocator.Occupy(Occupied(load.objectStream));
}

S2Save PlanS2SpecialStagesSave(const S2SpecialStageSetup& setup, const S2SpecialStageLoad& load,
                               const Bytes& layouts, const Bytes& objects, const S2RingTable& team,
                               const S2RingTable& alone, const CodecCalls& codec, FreeSpaceAllocator& allocator,
                               bool mayGrow)
{
    S2Save save;
    if (layouts.size() > kS2LayoutRamLimit || objects.size() > kS2ObjectListRamLimit) {
        save.error = Message{MessageIcon::Critical, kS2StagesNotSaved,
                             {"The special stages need more of the game's memory than it has.", "Nothing was saved."}};
        return save;
    }
    Take(save,
         PlanStreamSave(load.layoutStream, setup.layouts, layouts, codec.nemesis, allocator, mayGrow,
                        "the special stage layouts", kS2StagesNotSaved),
         "Special stage layouts");
    Take(save,
         PlanStreamSave(load.objectStream, setup.objects, objects, codec.kosinski, allocator, mayGrow,
                        "the special stage object lists", kS2StagesNotSaved),
         "Special stage object lists");
    if (team != load.team)
        save.patches.push_back({static_cast<uint64_t>(setup.teamRings), WriteS2RingTable(team)});
    if (alone != load.alone)
        save.patches.push_back({static_cast<uint64_t>(setup.aloneRings), WriteS2RingTable(alone)});
    if (save.error || save.needsRoom)
        save.patches.clear();
    return save;
}

void DeclareS2LevelSelect(const S2LevelSelectSetup& setup, const S2LevelSelectLoad& load,
                          FreeSpaceAllocator& allocator)
{
    for (const ByteRange& range : setup.relocation.FreeRanges(allocator.OriginalSize()))
        allocator.AddFreeRange(range);
    allocator.Occupy(Occupied(load.mapStream));
}

S2Save PlanS2LevelSelectSave(const S2LevelSelectSetup& setup, const S2LevelSelectLoad& load,
                             const S2LevelSelect& edited, const CodecCalls& codec, FreeSpaceAllocator& allocator,
                             bool mayGrow)
{
    S2Save save;
    Take(save,
         PlanStreamSave(load.mapStream, setup.map, edited.MapBytes(), codec.enigma, allocator, mayGrow,
                        "the level select map", kS2LevelSelectNotSaved),
         "Level select map");
    if (edited.OrderBytes() != load.model.OrderBytes())
        save.patches.push_back({static_cast<uint64_t>(setup.order), edited.OrderBytes()});
    if (save.error || save.needsRoom)
        save.patches.clear();
    return save;
}

} // namespace zorp
