#include "template/S2RomData.h"

namespace zorp {

namespace {

Message NotLoaded(const char* title, const std::string& line)
{
    return Message{MessageIcon::Critical, title, {line, "The editor stays disabled."}};
}

bool TableInside(const ByteSource& rom, int32_t offset, size_t length)
{
    return offset >= 0 && FitsInFile(static_cast<uint64_t>(offset), length, rom.Size());
}

} // namespace

S2SpecialStageLoad LoadS2SpecialStages(const S2SpecialStageSetup& setup, const ByteSource& rom,
                                       const CodecCalls& codec)
{
    S2SpecialStageLoad load;
    if (!TableInside(rom, setup.teamRings, kS2RingTableBytes) || !TableInside(rom, setup.aloneRings, kS2RingTableBytes)) {
        load.error = NotLoaded(kS2StagesNotLoaded, "The ring requirement tables lie past the end of the ROM.");
        return load;
    }
    load.team = ReadS2RingTable(rom.Read(static_cast<uint64_t>(setup.teamRings), kS2RingTableBytes));
    load.alone = ReadS2RingTable(rom.Read(static_cast<uint64_t>(setup.aloneRings), kS2RingTableBytes));

    load.layoutStream = LoadRelocatableStream(rom, setup.layouts, codec.nemesis, kS2LayoutRamLimit,
                                              "the special stage layouts", kS2StagesNotLoaded);
    if (!load.layoutStream.ok()) {
        load.error = load.layoutStream.error;
        return load;
    }
    load.objectStream = LoadRelocatableStream(rom, setup.objects, codec.kosinski, kS2ObjectListRamLimit,
                                              "the special stage object lists", kS2StagesNotLoaded);
    if (!load.objectStream.ok()) {
        load.error = load.objectStream.error;
        return load;
    }
    S2LayoutRead layouts = ReadS2Layouts(load.layoutStream.data);
    if (!layouts.ok()) {
        load.error = NotLoaded(kS2StagesNotLoaded, layouts.error);
        return load;
    }
    S2ObjectListsRead objects = ReadS2ObjectLists(load.objectStream.data);
    if (!objects.ok()) {
        load.error = NotLoaded(kS2StagesNotLoaded, objects.error);
        return load;
    }
    load.layouts = std::move(layouts.block);
    load.objects = std::move(objects.lists);
    return load;
}

S2LevelSelectLoad LoadS2LevelSelect(const S2LevelSelectSetup& setup, const ByteSource& rom, const CodecCalls& codec)
{
    S2LevelSelectLoad load;
    if (!TableInside(rom, setup.marks, kS2LevelSelectMarkBytes) ||
        !TableInside(rom, setup.order, kS2LevelSelectOrderBytes)) {
        load.error = NotLoaded(kS2LevelSelectNotLoaded, "The level select's tables lie past the end of the ROM.");
        return load;
    }
    load.mapStream = LoadRelocatableStream(rom, setup.map, codec.enigma, kS2LevelSelectMapBytes,
                                           "the level select map", kS2LevelSelectNotLoaded);
    if (!load.mapStream.ok()) {
        load.error = load.mapStream.error;
        return load;
    }
    auto read = S2LevelSelect::FromBytes(load.mapStream.data,
                                         rom.Read(static_cast<uint64_t>(setup.marks), kS2LevelSelectMarkBytes),
                                         rom.Read(static_cast<uint64_t>(setup.order), kS2LevelSelectOrderBytes));
    if (!read.ok()) {
        load.error = NotLoaded(kS2LevelSelectNotLoaded, read.error);
        return load;
    }
    load.model = std::move(read.model);
    return load;
}

} // namespace zorp
