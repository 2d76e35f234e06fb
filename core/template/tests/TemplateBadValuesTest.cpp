// Values a template may get wrong: each refuses its block with a message that
// names the line, or has no effect. Reading always goes on after the block.
#include <gtest/gtest.h>

#include "template/TemplateReader.h"
#include "TemplateTestUtil.h"

namespace zorp {
namespace {

using test::ActionsOf;
using test::Read;

struct RefusedCase {
    std::vector<std::string> block; // starts with the command line (line 1)
    int line;                        // line named by the message
    const char* reasonPart;          // text the reason contains
};

const std::vector<std::string> kLevelsOk = {"STARTADDR: 0", "DECODETBL: S1", "LEVELS: 2", "LVLLENGTH: 4"};
const std::vector<std::string> kPlaylistOk = {"STARTADDR: 0x10", "MINSONG: 1", "MAXSONG: 0x1F", "ADDVALTOROM: 0x80",
                                              "PLAYLISTSIZE: 4"};

const std::vector<std::string> kS2StagesOk = {"LAYOUTPOINTER: 0x6D36", "LAYOUTS: 0xE34EE: 260",
                                              "OBJECTPOINTER: 0x6D44", "OBJECTS: 0xE35F2: 3342",
                                              "TEAMRINGS: 0x7756",     "ALONERINGS: 0x7772"};

std::vector<std::string> Block(const char* command, const std::vector<std::string>& first,
                               const std::vector<std::string>& then = {})
{
    std::vector<std::string> lines{command};
    lines.insert(lines.end(), first.begin(), first.end());
    lines.insert(lines.end(), then.begin(), then.end());
    lines.push_back("ENDFRAME");
    return lines;
}

TEST(TemplateBadValues, RefuseTheBlockNamingTheLine)
{
    const RefusedCase cases[] = {
        // LEVELSELECT
        {Block("LEVELSELECT", kLevelsOk, {"LEVELS: -1"}), 6, "between 0 and 65535"},
        {Block("LEVELSELECT", kLevelsOk, {"LEVELS: 65536"}), 6, "between 0 and 65535"},
        {Block("LEVELSELECT", kLevelsOk, {"LVLLENGTH: -3"}), 6, "between 0 and 4096"},
        {Block("LEVELSELECT", kLevelsOk, {"LVLLENGTH: 4097"}), 6, "between 0 and 4096"},
        {Block("LEVELSELECT", kLevelsOk, {"LVLLENGTH_S: 1: 0x7FFFFFFF"}), 6, "between 0 and 4096"},
        {Block("LEVELSELECT", kLevelsOk, {"SEPARATOR: -1"}), 6, "negative"},
        {Block("LEVELSELECT", kLevelsOk, {"SEPAMT: 2: -2"}), 6, "negative"},
        {Block("LEVELSELECT", kLevelsOk, {"STARTADDR: -5"}), 6, "negative"},
        {Block("LEVELSELECT", {"DECODETBL: S1", "LEVELS: 2"}), 1, "STARTADDR is missing"},
        {Block("LEVELSELECT", {"STARTADDR: 0", "DECODETBL: S1", "LVLLENGTH: 3"}), 1, "no levels"},
        {Block("LEVELSELECT", {"STARTADDR: 0", "DECODETBL: S1", "LEVELS: 0"}), 1, "no levels"},
        {Block("LEVELSELECT", {"STARTADDR: 0", "DECODETBL: S2", "LEVELS: 1"}), 1, "\"S2\""},
        {Block("LEVELSELECT", {"STARTADDR: 0", "DECODETBL: s1", "LEVELS: 1"}), 1, "\"s1\""},
        {Block("LEVELSELECT", {"STARTADDR: 0", "LEVELS: 1"}), 1, "Unknown decode table \"\""},
        {Block("LEVELSELECT", {"STARTADDR: 0", "DECODETBL: S1", "LEVELS: 65535", "LVLLENGTH: 4096"}), 1, "1 MiB"},
        // PALEDIT
        {Block("PALEDIT", {"Good: 0x10", "Lonely"}), 3, "ROM address"},
        {Block("PALEDIT", {"Word: text"}), 2, "ROM address"},
        {Block("PALEDIT", {"Below: -2"}), 2, "negative"},
        {Block("PALEDIT", {"None: 0x10: 0"}), 2, "between 1 and 32768"},
        {Block("PALEDIT", {"Many: 0x10: 32769"}), 2, "between 1 and 32768"},
        {Block("PALEDIT", {"PALTYPE: RGB_15"}), 1, "no palettes"},
        // PLAYLIST
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: -1"}), 7, "between 0 and 65535"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 65536"}), 7, "between 0 and 65535"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTSIZE: 0"}), 7, "between 1 and 65536"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTSIZE: 0x7FFFFFFF"}), 7, "between 1 and 65536"},
        {Block("PLAYLIST", kPlaylistOk, {"MINSONG: 40000"}), 7, "-32768 and 32767"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 1", "SONG: : 3"}), 8, "caption"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 1", "SONG: Zone: three"}), 8, "must be a number"},
        {Block("PLAYLIST", kPlaylistOk, {"STARTADDR: -1"}), 7, "negative"},
        {Block("PLAYLIST", {"STARTADDR: 0", "MAXSONG: 2", "ADDVALTOROM: 0", "PLAYLISTSIZE: 1"}), 1, "MINSONG is missing"},
        {Block("PLAYLIST", {"STARTADDR: 0", "MINSONG: 1", "MAXSONG: 2", "PLAYLISTSIZE: 1"}), 1,
         "ADDVALTOROM is missing"},
        {Block("PLAYLIST", {"STARTADDR: 0", "MINSONG: 1", "MAXSONG: 2", "ADDVALTOROM: 0"}), 1,
         "PLAYLISTSIZE is missing"},
        {Block("PLAYLIST", kPlaylistOk, {"MINSONG: 5", "MAXSONG: 4"}), 1, "MINSONG is larger than MAXSONG"},
        {Block("PLAYLIST", kPlaylistOk, {"MAXSONG: 0x80"}), 1, "between 0 and 255"},
        {Block("PLAYLIST", kPlaylistOk, {"ADDVALTOROM: 0", "MINSONG: -1"}), 1, "between 0 and 255"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 2", "SONG: A: 0", "SONG: B: 4"}), 1, "(line 9)"},
        {Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 1", "SONG: A: -1"}), 1, "outside the playlist block"},
        // S3S
        {Block("S3S", {"STARTADDR: 0", "STAGES: 0"}), 3, "between 1 and 65535"},
        {Block("S3S", {"STARTADDR: 0", "STAGES: 65536"}), 3, "between 1 and 65535"},
        {Block("S3S", {"STARTADDR: 0", "STAGES: -8"}), 3, "between 1 and 65535"},
        {Block("S3S", {"STARTADDR: 0", "COMPLENGTH: 0"}), 3, "COMPLENGTH"},
        {Block("S3S", {"STARTADDR: 0", "COMPLENGTH: 0x400001"}), 3, "COMPLENGTH"},
        {Block("S3S", {"STARTADDR: -1"}), 2, "negative"},
        {Block("S3S", {"STARTADDR: 0", "COMPRESSED: Y"}), 1, "COMPLENGTH is missing"},
        // WAVIMPORTER
        {Block("WAVIMPORTER", {"STARTADDR: 0", "WAVLENGTH: 5", "FREQUENCY: 65536"}), 4, "between 0 and 65535"},
        {Block("WAVIMPORTER", {"STARTADDR: 0", "WAVLENGTH: 5", "FREQUENCY: -1"}), 4, "between 0 and 65535"},
        {Block("WAVIMPORTER", {"STARTADDR: 0", "WAVLENGTH: 0"}), 3, "between 1 and 4194304"},
        {Block("WAVIMPORTER", {"STARTADDR: 0", "WAVLENGTH: -5"}), 3, "between 1 and 4194304"},
        {Block("WAVIMPORTER", {"STARTADDR: 0", "WAVLENGTH: 0x400001"}), 3, "between 1 and 4194304"},
        {Block("WAVIMPORTER", {"WAVLENGTH: 5"}), 1, "STARTADDR is missing"},
        {Block("WAVIMPORTER", {"STARTADDR: 0"}), 1, "WAVLENGTH is missing"},
        // S2SPECIALSTAGES, S2LEVELSELECT
        {Block("S2SPECIALSTAGES", kS2StagesOk, {"LAYOUTS: 0xE34EE: 0"}), 8, "between 1 and 4194304"},
        {Block("S2SPECIALSTAGES", kS2StagesOk, {"OBJECTPOINTER: 0x400000"}), 8, "4 MiB cartridge space"},
        {Block("S2SPECIALSTAGES", kS2StagesOk, {"TEAMRINGS: -1"}), 8, "4 MiB cartridge space"},
        {Block("S2SPECIALSTAGES", {"LAYOUTPOINTER: 0x6D36", "LAYOUTS: 0xE34EE: 260"}), 1, "OBJECTPOINTER"},
        {Block("S2LEVELSELECT", {"POINTER: 0x92FE", "MAP: 0x9ADE: 340", "MARKS: 0x96EE"}), 1, "ORDER"},
        {Block("S2LEVELSELECT", {"POINTER: 0x92FE", "MAP: -2: 340"}), 3, "4 MiB cartridge space"},
        {Block("S2LEVELSELECT", {"POINTER: 0x92FE", "FORMAT: NEMESIS"}), 3, "the game's own"},
        {Block("S2SPECIALSTAGES", kS2StagesOk, {"FREESPACE: 0x20: 0x10"}), 8, "first byte before its last"},
        // S1STAGES and the relocation keys its style shares
        {Block("S1STAGES", {"POINTERS: 0x100", "STAGES: 0"}), 3, "between 1 and 64"},
        {Block("S1STAGES", {"POINTERS: 0x100", "STAGES: 65"}), 3, "between 1 and 64"},
        {Block("S1STAGES", {"POINTERS: -4"}), 2, "between 0 and 0x3FFFFF"},
        {Block("S1STAGES", {"POINTERS: 0x100", "STARTPOS: 0x400000"}), 3, "between 0 and 0x3FFFFF"},
        {Block("S1STAGES", {"POINTERS: 0x100", "FREESPACE: 0x10"}), 3, "first and the last byte"},
        {Block("S1STAGES", {"POINTERS: 0x100", "FREESPACE: 0x20: 0x1F"}), 3, "first byte before its last"},
        {Block("S1STAGES", {"POINTERS: 0x100", "FILLER: 0x100"}), 3, "byte value"},
        {Block("S1STAGES", {"POINTERS: 0x100", "FORMAT: LZSS"}), 3, "FORMAT must be"},
        {Block("S1STAGES", {"STAGES: 6"}), 1, "POINTERS is missing"},
    };
    for (const RefusedCase& c : cases) {
        std::vector<std::string> lines = c.block;
        lines.insert(lines.end(), {"MSGBOX", "MSGLINE: after", "ENDFRAME"});
        const std::string where = c.block[0] + " / " + c.block[static_cast<size_t>(c.line) - 1];
        auto result = Read(lines);
        // The refusal message, then the box after the block: nothing else.
        ASSERT_EQ(result.actions.size(), 2u) << where;
        const Message* refusal = std::get_if<Message>(&result.actions[0]);
        ASSERT_NE(refusal, nullptr) << where;
        EXPECT_EQ(refusal->icon, MessageIcon::Critical) << where;
        EXPECT_EQ(refusal->title, "Invalid Template Value") << where;
        ASSERT_EQ(refusal->lines.size(), 5u) << where;
        EXPECT_EQ(refusal->lines[0], "The " + c.block[0] + " block of the template file cannot be used.") << where;
        EXPECT_EQ(refusal->lines[1], "Line " + std::to_string(c.line) + ": " + c.block[static_cast<size_t>(c.line) - 1])
            << where;
        EXPECT_NE(refusal->lines[2].find(c.reasonPart), std::string::npos) << where << ": " << refusal->lines[2];
        EXPECT_EQ(std::get<Message>(result.actions[1]).lines, std::vector<std::string>{"after"}) << where;
    }
}

TEST(TemplateBadValues, UnfilledPlaylistSlotsAreLeftOutWithOneWarning)
{
    auto result = Read(Block("PLAYLIST", kPlaylistOk, {"PLAYLISTS: 4", "SONG: A: 1", "SONG: B: 2"}));
    ASSERT_EQ(result.actions.size(), 2u);
    const Message* warning = std::get_if<Message>(&result.actions[0]);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->icon, MessageIcon::Exclamation);
    EXPECT_EQ(warning->title, "Playlist Slots Left Out");
    EXPECT_NE(warning->lines[0].find("announces 4 slots, but only 2 SONG lines"), std::string::npos);
    EXPECT_NE(warning->lines.back().find("The 2 unfilled slots are left out"), std::string::npos);
    // The filled slots stay, in order, and nothing at offset 0 stands in for the others.
    auto setups = ActionsOf<PlaylistSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    ASSERT_EQ(setups[0].songSlots.size(), 2u);
    EXPECT_EQ(setups[0].songSlots[0].caption, "A");
    EXPECT_EQ(setups[0].songSlots[1].offset, 2);
}

TEST(TemplateBadValues, LimitsThemselvesAreAccepted)
{
    auto result = Read({"WAVIMPORTER", "STARTADDR: 0", "WAVLENGTH: 0x400000", "FREQUENCY: 65535", "ENDFRAME",
                        "S3S", "STAGES: 65535", "COMPRESSED: Y", "COMPLENGTH: 0x400000", "ENDFRAME", "PLAYLIST",
                        "MINSONG: 0", "MAXSONG: 0xFF", "ADDVALTOROM: 0", "PLAYLISTSIZE: 65536", "PLAYLISTS: 1",
                        "SONG: Last: 65535", "ENDFRAME", "PALEDIT", "All: 0: 32768", "ENDFRAME"});
    EXPECT_TRUE(result.Messages().empty());
    ASSERT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
    EXPECT_EQ(ActionsOf<WavSetup>(result)[0].frequency, 65535);
    ASSERT_EQ(ActionsOf<S3SSetup>(result).size(), 1u);
    EXPECT_EQ(ActionsOf<S3SSetup>(result)[0].stages, 65535);
    ASSERT_EQ(ActionsOf<PlaylistSetup>(result).size(), 1u);
    EXPECT_EQ(ActionsOf<PlaylistSetup>(result)[0].songSlots[0].offset, 65535);
    ASSERT_EQ(ActionsOf<PaletteSetup>(result).size(), 1u);
}

TEST(TemplateBadValues, ValuesThatAreNotNumbersLeaveTheSettingAsItWas)
{
    auto result = Read({"WAVIMPORTER", "STARTADDR: 0x40", "WAVLENGTH: 6", "FREQUENCY: 8000", "STARTADDR: forty",
                        "WAVLENGTH: lots", "FREQUENCY: 0X10", "STARTADDR", "ENDFRAME"});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 1u);
    EXPECT_EQ(wavs[0].startAddress, 0x40);
    EXPECT_EQ(wavs[0].length, 6);
    EXPECT_EQ(wavs[0].frequency, 8000);
}

TEST(TemplateBadValues, ARefusedBlockKeepsLaterBlocksWorking)
{
    auto result = Read({"LEVELSELECT", "LEVELS: -1", "LEVELS: 2", "ENDFRAME", "LEVELSELECT", "STARTADDR: 0x10",
                        "DECODETBL: S3", "LEVELS: 1", "LVLLENGTH: 3", "ENDFRAME"});
    ASSERT_EQ(result.actions.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<Message>(result.actions[0]));
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].levels, (std::vector<LevelEntry>{{3, 0}}));
}

} // namespace
} // namespace zorp
