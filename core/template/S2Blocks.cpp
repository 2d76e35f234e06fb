// S2SPECIALSTAGES and S2LEVELSELECT: Sonic 2's half-pipe stages and level
// select screen, whose compressed streams the game finds through one
// absolute address each (the operand of the instruction that loads them).
//
//   S2SPECIALSTAGES
//   LAYOUTPOINTER: 0x6D36      where the layouts' address is stored
//   LAYOUTS: 0xE34EE: 260      where the unchanged game has the stream, and
//                              the bytes it may fill there
//   OBJECTPOINTER: 0x6D44
//   OBJECTS: 0xE35F2: 3342
//   TEAMRINGS: 0x7756          ring requirement tables, 28 bytes each
//   ALONERINGS: 0x7772
//   ENDFRAME
//
//   S2LEVELSELECT
//   POINTER: 0x92FE            where the map's address is stored
//   MAP: 0x9ADE: 340
//   MARKS: 0x96EE              highlight table, 22 x 4 bytes
//   ORDER: 0x9454              order table, 22 words
//   ENDFRAME
//
// and the relocation keys FREESPACE and FILLER (RelocationKeys.h); the
// streams' formats are the game's own (FORMAT is refused).
//
// Every other key is required: a block without one is refused at its end,
// one with a negative offset or room, or an offset past the 4 MiB cartridge
// space, at that line.
#include "template/Conv0x.h"
#include "template/RelocationKeys.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"

namespace zorp {

namespace {

constexpr int64_t kCartridgeSpace = 0x400000;

// An offset inside the cartridge space: "" when taken (or not a number,
// which has no effect), else the refusal.
std::string TakeOffset(const BlockLine& line, size_t piece, std::optional<int32_t>& value)
{
    auto n = Conv0x(line.Value(piece));
    if (!n)
        return {};
    if (*n < 0 || *n >= kCartridgeSpace)
        return "An offset must lie inside the 4 MiB cartridge space.";
    value = *n;
    return {};
}

// "OFFSET: ROOM" of a stream.
std::string TakeStream(const BlockLine& line, std::optional<int32_t>& offset, std::optional<int32_t>& room)
{
    std::string error = TakeOffset(line, 0, offset);
    if (!error.empty())
        return error;
    auto n = Conv0x(line.Value(1));
    if (!n)
        return {};
    if (*n < 1 || *n > kMaxCompressedLength)
        return "A stream's room must lie between 1 and 4194304 bytes.";
    room = *n;
    return {};
}

// The shared relocation keys; "" or the refusal.
std::string TakeRelocation(const BlockLine& line, RelocationSetup& relocation, bool& taken)
{
    taken = false;
    if (line.key == "FORMAT")
        return "The formats of these streams are the game's own; FORMAT cannot change them.";
    std::string error;
    const KeyUse use = TakeRelocationKey(line, relocation, error);
    taken = use != KeyUse::NotMine;
    return use == KeyUse::Refused ? error : std::string();
}

struct StreamKeys {
    std::optional<int32_t> pointer;
    std::optional<int32_t> offset;
    std::optional<int32_t> room;
    bool complete() const { return pointer && offset && room; }
    RelocatableStream Setup() const { return {*offset, *room, *pointer}; }
};

} // namespace

std::optional<TemplateAction> ReadS2SpecialStagesBlock(BlockReader& reader, TemplateSettings&)
{
    StreamKeys layouts;
    StreamKeys objects;
    std::optional<int32_t> team;
    std::optional<int32_t> alone;
    RelocationSetup relocation;
    BlockLine line;
    while (reader.Next(line)) {
        bool taken = false;
        std::string error = TakeRelocation(line, relocation, taken);
        if (taken || !error.empty()) {
        } else if (line.key == "LAYOUTPOINTER")
            error = TakeOffset(line, 0, layouts.pointer);
        else if (line.key == "LAYOUTS")
            error = TakeStream(line, layouts.offset, layouts.room);
        else if (line.key == "OBJECTPOINTER")
            error = TakeOffset(line, 0, objects.pointer);
        else if (line.key == "OBJECTS")
            error = TakeStream(line, objects.offset, objects.room);
        else if (line.key == "TEAMRINGS")
            error = TakeOffset(line, 0, team);
        else if (line.key == "ALONERINGS")
            error = TakeOffset(line, 0, alone);
        if (!error.empty())
            return reader.Refuse(line, error);
    }
    if (!layouts.complete() || !objects.complete() || !team || !alone)
        return reader.RefuseBlock("It needs the keys LAYOUTPOINTER, LAYOUTS, OBJECTPOINTER, OBJECTS, TEAMRINGS and "
                                  "ALONERINGS.");
    S2SpecialStageSetup setup;
    setup.layouts = layouts.Setup();
    setup.objects = objects.Setup();
    setup.teamRings = *team;
    setup.aloneRings = *alone;
    setup.relocation = relocation;
    return setup;
}

std::optional<TemplateAction> ReadS2LevelSelectBlock(BlockReader& reader, TemplateSettings&)
{
    StreamKeys map;
    std::optional<int32_t> marks;
    std::optional<int32_t> order;
    RelocationSetup relocation;
    BlockLine line;
    while (reader.Next(line)) {
        bool taken = false;
        std::string error = TakeRelocation(line, relocation, taken);
        if (taken || !error.empty()) {
        } else if (line.key == "POINTER")
            error = TakeOffset(line, 0, map.pointer);
        else if (line.key == "MAP")
            error = TakeStream(line, map.offset, map.room);
        else if (line.key == "MARKS")
            error = TakeOffset(line, 0, marks);
        else if (line.key == "ORDER")
            error = TakeOffset(line, 0, order);
        if (!error.empty())
            return reader.Refuse(line, error);
    }
    if (!map.complete() || !marks || !order)
        return reader.RefuseBlock("It needs the keys POINTER, MAP, MARKS and ORDER.");
    S2LevelSelectSetup setup;
    setup.map = map.Setup();
    setup.marks = *marks;
    setup.order = *order;
    setup.relocation = relocation;
    return setup;
}

} // namespace zorp
