// The default templates in data/: each reads without a message, carries its
// header, and places its editors where the game data lies.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "rom/Bytes.h"
#include "template/DefaultTemplate.h"
#include "template/LevelSelectTable.h"
#include "template/TemplateCheck.h"
#include "template/TemplateReader.h"
#include "template/TemplateVersion.h"
#include "TemplateTestUtil.h"

namespace zorp {
namespace {

using test::ActionsOf;

const std::string kDataDir = std::string(ZORP_SOURCE_DIR) + "/data/";

const std::vector<std::string> kGameIds = {"S1", "S1_J", "S2", "S3", "S&K", "S1_K", "S2_K", "S3_K", "SO", "S3S"};
// Templates of the other revisions of a game (GAME: names the game).
const std::vector<std::string> kRevisionTemplates = {"S2_REV00", "S2_REV02"};

std::string TemplateText(const std::string& id)
{
    auto bytes = ReadFileBytes(kDataDir + id + ".ZORP");
    EXPECT_TRUE(bytes.has_value()) << id;
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

TemplateResult ReadShipped(const std::string& id) { return ReadTemplate(TemplateText(id), {true}); }

TEST(ShippedTemplates, EveryTemplateReadsWithoutAMessage)
{
    for (const std::string& id : kGameIds) {
        const std::string text = TemplateText(id);
        // Lines end with CR LF throughout.
        for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << id << " byte " << i;
        // FITS came with 0.0.14: a template with the block says so, and an
        // older build refuses it as needing a later program (instead of
        // showing the block as an invalid command).
        const bool fits = text.find("\r\nFITS\r\n") != std::string::npos;
        const std::string version = fits ? "0.0.14" : "0.0.13";
        EXPECT_EQ(text.rfind("ZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: " + id + "\r\nZORP-II VERSION: " + version +
                                 "\r\n",
                             0),
                  0u)
            << id;
        EXPECT_EQ(TemplateNeedsLaterVersion(version, *VersionNumberDigits("0.0.13")), fits) << id;
        EXPECT_FALSE(TemplateNeedsLaterVersion(version)) << id;

        auto result = ReadTemplate(text, {true});
        EXPECT_EQ(result.refusal, TemplateRefusal::None) << id;
        EXPECT_TRUE(result.Messages().empty()) << id << ": " << result.Messages().front().text();
        EXPECT_EQ(result.headerValue, id);
        EXPECT_EQ(result.version, version);
        EXPECT_FALSE(result.actions.empty()) << id;

        // The default-templates window accepts each for its own game.
        auto own = [&id](const std::string& asked) -> std::optional<GameRecordInfo> {
            if (asked != id)
                return std::nullopt;
            return GameRecordInfo{id, "game " + id};
        };
        EXPECT_EQ(CheckTemplateForGame(text, id, own).outcome, TemplateCheckOutcome::Accepted) << id;
    }
}

TEST(ShippedTemplates, RevisionTemplatesCarryTheVersionOfTheFitsBlock)
{
    for (const std::string& id : kRevisionTemplates) {
        const TemplateResult result = ReadShipped(id);
        EXPECT_TRUE(result.fit.stated()) << id;
        EXPECT_EQ(result.version, "0.0.14") << id;
    }
}

// A FITS block with several checks needs every one of them: the S3_K
// template must not take an S&K image with Sonic 2 locked on (its Sonic 3
// stage offsets would land in Sonic 2's code) because the first check, the
// S&K serial, holds.
TEST(ShippedTemplates, EveryCheckOfAFitsBlockMustHold)
{
    const TemplateResult result = ReadShipped("S3_K");
    ASSERT_EQ(result.fit.checks.size(), 2u);
    auto image = [](const char* first, const char* second) {
        Bytes bytes(0x200200, ' ');
        std::copy(first, first + 14, bytes.begin() + 0x180);
        std::copy(second, second + 14, bytes.begin() + 0x200180);
        return bytes;
    };
    EXPECT_TRUE(CheckTemplateFit(result.fit, image("GM MK-1563 -00", "GM MK-1079 -00")).fits);
    const FitVerdict sonic2 = CheckTemplateFit(result.fit, image("GM MK-1563 -00", "GM 00001051-01"));
    EXPECT_FALSE(sonic2.fits);
    EXPECT_NE(sonic2.detail.find("0x200180"), std::string::npos) << sonic2.detail;
    EXPECT_FALSE(CheckTemplateFit(result.fit, image("GM 00001051-01", "GM MK-1079 -00")).fits);
    EXPECT_FALSE(CheckTemplateFit(result.fit, Bytes(0x200, ' ')).fits); // no cartridge at 0x200000
}

TEST(ShippedTemplates, NoOtherTemplatesInData)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
        if (entry.path().extension() == ".ZORP") {
            ++count;
            std::string stem = entry.path().stem().string();
            EXPECT_TRUE(std::find(kGameIds.begin(), kGameIds.end(), stem) != kGameIds.end() ||
                        std::find(kRevisionTemplates.begin(), kRevisionTemplates.end(), stem) !=
                            kRevisionTemplates.end())
                << stem;
        }
    }
    EXPECT_EQ(count, kGameIds.size() + kRevisionTemplates.size());
}

TEST(ShippedTemplates, WithoutTheCodecOnlyTheCompressedStagesAreRefused)
{
    for (const std::string& id : kGameIds) {
        auto result = ReadTemplate(TemplateText(id), {false});
        bool compressed = id == "S&K" || id == "S1_K" || id == "S2_K" || id == "S3_K" || id == "SO";
        auto messages = result.Messages();
        ASSERT_EQ(messages.size(), compressed ? 1u : 0u) << id;
        if (compressed) {
            EXPECT_EQ(messages[0].title, "The Ostrel Not Found");
        }
        EXPECT_EQ(ActionsOf<S3SSetup>(result).size(), id == "S3" ? 1u : 0u) << id;
    }
}

TEST(ShippedTemplates, EditorsPerGame)
{
    struct Editors {
        size_t levelSelect, palettes, playlist, stages, stageFile, wav;
    };
    const Editors sk{1, 1, 1, 1, 0, 1};
    const std::map<std::string, Editors> expected = {
        {"S1", {1, 1, 1, 0, 0, 1}}, {"S1_J", {1, 1, 1, 0, 0, 1}}, {"S2", {0, 1, 1, 0, 0, 1}},
        {"S3", {1, 1, 1, 1, 0, 1}}, {"S&K", sk}, {"S1_K", sk}, {"S2_K", sk}, {"S3_K", sk}, {"SO", sk},
        {"S3S", {0, 0, 0, 0, 1, 0}},
    };
    for (const auto& [id, e] : expected) {
        auto result = ReadShipped(id);
        EXPECT_EQ(ActionsOf<LevelSelectSetup>(result).size(), e.levelSelect) << id;
        EXPECT_EQ(ActionsOf<PaletteSetup>(result).size(), e.palettes) << id;
        EXPECT_EQ(ActionsOf<PlaylistSetup>(result).size(), e.playlist) << id;
        EXPECT_EQ(ActionsOf<S3SSetup>(result).size(), e.stages) << id;
        EXPECT_EQ(ActionsOf<S3SFileSetup>(result).size(), e.stageFile) << id;
        EXPECT_EQ(ActionsOf<WavSetup>(result).size(), e.wav) << id;
    }
}

TEST(ShippedTemplates, SonicOneRevisions)
{
    const std::pair<const char*, int32_t> levelStarts[] = {{"S1", 0x35A2}, {"S1_J", 0x359E}};
    for (const auto& [id, start] : levelStarts) {
        auto result = ReadShipped(id);
        auto levels = ActionsOf<LevelSelectSetup>(result).at(0);
        EXPECT_EQ(levels.startAddress, start);
        EXPECT_EQ(levels.decodeTable, "S1");
        EXPECT_EQ(levels.levels, std::vector<LevelEntry>(21, LevelEntry{24, 0}));
        auto playlist = ActionsOf<PlaylistSetup>(result).at(0);
        // The music table follows the 504 bytes of text directly.
        EXPECT_EQ(playlist.startAddress, start + 504);
        EXPECT_EQ(playlist.blockSize, 7);
        EXPECT_EQ(playlist.minSong, 1);
        EXPECT_EQ(playlist.maxSong, 0x13);
        EXPECT_EQ(playlist.addValue, 0x80);
        ASSERT_EQ(playlist.songSlots.size(), 7u);
        EXPECT_EQ(playlist.songSlots[6], (PlaylistSlot{"Final Zone", 6}));
        auto palettes = ActionsOf<PaletteSetup>(result).at(0);
        EXPECT_EQ(palettes.palettes.at(0), (PaletteEntry{"Sonic", id == std::string("S1") ? 0x2388 : 0x2380, 16}));
        EXPECT_EQ(palettes.largestCount, 48);
        EXPECT_EQ(palettes.paletteType, 0);
        auto wav = ActionsOf<WavSetup>(result).at(0);
        EXPECT_EQ(FrameTag(wav), "497288|27000|16000");
        // The special stage tables and the filler before the sound driver.
        auto stages = ActionsOf<S1StagesSetup>(result).at(0);
        const bool rev00 = id == std::string("S1");
        EXPECT_EQ(FrameTag(stages), rev00 ? "112204|112228|6" : "114178|114202|6");
        EXPECT_EQ(stages.relocation.format, CompressionFormat::Enigma);
        EXPECT_EQ(stages.relocation.FreeRanges(0x100000),
                  (std::vector<ByteRange>{{rev00 ? 0x71366u : 0x71354u, rev00 ? 1578u : 1596u}, {0x80000, 0x80000}}));
    }
}

TEST(ShippedTemplates, SonicTwo)
{
    auto result = ReadShipped("S2");
    auto playlist = ActionsOf<PlaylistSetup>(result).at(0);
    EXPECT_EQ(FrameTag(playlist), std::to_string(0x3EA0) + "|128|17");
    EXPECT_EQ(playlist.minSong, 1);
    EXPECT_EQ(playlist.maxSong, 0x1F);
    ASSERT_EQ(playlist.songSlots.size(), 17u);
    for (size_t i = 0; i < 17; ++i)
        EXPECT_EQ(playlist.songSlots[i].offset, static_cast<int32_t>(i)); // slot = zone id
    EXPECT_EQ(playlist.songSlots[0].caption, "Emerald Hill Zone");
    EXPECT_EQ(playlist.songSlots[0x0D].caption, "Chemical Plant Zone");
    EXPECT_EQ(FrameTag(ActionsOf<WavSetup>(result).at(0)), std::to_string(0xF1E8C) + "|24948|16500");
}

// Each revision's template reads at that revision's offsets (game facts §4,
// §5) and fits an image of that revision only; every game template states
// what it fits.
TEST(ShippedTemplates, EachRevisionHasItsOwnOffsetsAndFitsOnlyItself)
{
    struct Case {
        std::string file;
        std::string serial;
        int32_t playlist;
        int32_t firstZonePalette; // Green Hill / Emerald Hill
    };
    const std::vector<Case> cases = {
        {"S1", "GM 00001009-00", 0x379A, 0x23A8},       {"S1_J", "GM 00004049-01", 0x3796, 0x23A0},
        {"S2_REV00", "GM 00001051-00", 0x3E94, 0x2A16}, {"S2", "GM 00001051-01", 0x3EA0, 0x2A22},
        {"S2_REV02", "GM 00001051-02", 0x3E8A, 0x2A18},
    };
    for (const Case& c : cases) {
        const TemplateResult result = ReadShipped(c.file);
        EXPECT_TRUE(result.Messages().empty()) << c.file;
        EXPECT_EQ(ActionsOf<PlaylistSetup>(result).at(0).startAddress, c.playlist) << c.file;
        const std::vector<PaletteEntry> palettes = ActionsOf<PaletteSetup>(result).at(0).palettes;
        EXPECT_EQ(palettes.at(1).address, c.firstZonePalette) << c.file;
        ASSERT_TRUE(result.fit.stated()) << c.file;
        for (const Case& image : cases) {
            Bytes bytes(0x200, ' ');
            std::copy(image.serial.begin(), image.serial.end(), bytes.begin() + 0x180);
            const FitVerdict verdict = CheckTemplateFit(result.fit, bytes);
            EXPECT_EQ(verdict.fits, image.serial == c.serial) << c.file << " on " << image.serial;
            if (!verdict.fits) {
                EXPECT_NE(verdict.detail.find(image.serial), std::string::npos) << verdict.detail;
            }
        }
    }
    for (const std::string& id : kGameIds)
        EXPECT_EQ(ReadShipped(id).fit.stated(), id != "S3S") << id;

    // The game's default template follows the revision where one is shipped.
    auto shipped = [](const std::string& name) { return ReadFileBytes(kDataDir + name).has_value(); };
    auto nameFor = [&](const std::string& id, const std::string& revision) {
        RomIdentification identity;
        identity.gameId = id;
        identity.revision = revision;
        return DefaultTemplateName(identity, shipped);
    };
    EXPECT_EQ(nameFor("S2", "REV00"), "S2_REV00.ZORP");
    EXPECT_EQ(nameFor("S2", "REV01"), "S2.ZORP");
    EXPECT_EQ(nameFor("S2", "REV02"), "S2_REV02.ZORP");
    EXPECT_EQ(nameFor("S2", ""), "S2.ZORP");
    EXPECT_EQ(nameFor("S3", "REV00"), "S3.ZORP");
}

// Sonic 2's stages and level select per revision (game facts §2.1, §2.5,
// §3): the address operands of the loading instructions and the tables.
TEST(ShippedTemplates, SonicTwoStreamsPerRevision)
{
    struct Case {
        const char* file;
        int32_t layoutPointer, objectPointer, team, alone, mapPointer, map, marks, order;
    };
    const Case cases[] = {
        {"S2_REV00", 0x6D2A, 0x6D38, 0x774A, 0x7766, 0x92F2, 0x9AD2, 0x96E2, 0x9448},
        {"S2", 0x6D36, 0x6D44, 0x7756, 0x7772, 0x92FE, 0x9ADE, 0x96EE, 0x9454},
        {"S2_REV02", 0x6D0A, 0x6D18, 0x773C, 0x7758, 0x92CE, 0x9AC6, 0x96CC, 0x942C},
    };
    for (const Case& c : cases) {
        const TemplateResult result = ReadShipped(c.file);
        EXPECT_EQ(result.version, "0.0.14") << c.file;
        const S2SpecialStageSetup stages = ActionsOf<S2SpecialStageSetup>(result).at(0);
        EXPECT_EQ(stages.layouts, (RelocatableStream{0xE34EE, 260, c.layoutPointer})) << c.file;
        EXPECT_EQ(stages.objects, (RelocatableStream{0xE35F2, 3342, c.objectPointer})) << c.file;
        EXPECT_EQ(stages.teamRings, c.team) << c.file;
        EXPECT_EQ(stages.aloneRings, c.alone) << c.file;
        const S2LevelSelectSetup levels = ActionsOf<S2LevelSelectSetup>(result).at(0);
        EXPECT_EQ(levels.map, (RelocatableStream{c.map, 340, c.mapPointer})) << c.file;
        EXPECT_EQ(levels.marks, c.marks) << c.file;
        EXPECT_EQ(levels.order, c.order) << c.file;
        // The part a grown image adds is free space for the next save.
        for (const RelocationSetup& relocation : {stages.relocation, levels.relocation})
            EXPECT_EQ(relocation.freeRanges, (std::vector<FreeRangeSetup>{{0x100000, 0x100000, true}})) << c.file;
    }
}

// Name offsets of the length-prefixed level select texts.
TEST(ShippedTemplates, SonicThreeAndKnucklesLevelSelectLayout)
{
    const std::vector<int64_t> s3 = {0x7017, 0x7024, 0x702E, 0x703C, 0x704B, 0x705A, 0x7061, 0x706D,
                                     0x707D, 0x7088, 0x708E, 0x7094, 0x709A, 0x70A0, 0x70AE};
    const std::vector<int64_t> sk = {0x80E7, 0x80F4, 0x80FE, 0x810C, 0x811B, 0x8122, 0x812E, 0x813C, 0x814B,
                                     0x8156, 0x8160, 0x816A, 0x8178, 0x8181, 0x818E, 0x8194, 0x81A2};
    LevelSelectTable s3Table(ActionsOf<LevelSelectSetup>(ReadShipped("S3")).at(0));
    EXPECT_EQ(s3Table.RowOffsets(), s3);
    EXPECT_EQ(s3Table.Setup().decodeTable, "S3");
    for (const char* id : {"S&K", "S1_K", "S2_K", "S3_K", "SO"}) {
        LevelSelectTable skTable(ActionsOf<LevelSelectSetup>(ReadShipped(id)).at(0));
        EXPECT_EQ(skTable.RowOffsets(), sk) << id;
    }
}

TEST(ShippedTemplates, SonicThreeAndKnucklesStagesMusicAndSample)
{
    auto s3 = ReadShipped("S3");
    auto s3Stages = ActionsOf<S3SSetup>(s3).at(0);
    EXPECT_EQ(FrameTag(s3Stages), std::to_string(0x6A0E0));
    EXPECT_EQ(EditorTag(s3Stages), "N|0");
    EXPECT_EQ(s3Stages.stages, 8);
    EXPECT_TRUE(s3Stages.extraProps);
    EXPECT_TRUE(s3Stages.multiStage);
    EXPECT_FALSE(s3Stages.yellowSphere);

    auto sk = ReadShipped("S&K");
    auto skStages = ActionsOf<S3SSetup>(sk).at(0);
    EXPECT_EQ(FrameTag(skStages), std::to_string(0x1FCF2A));
    EXPECT_EQ(EditorTag(skStages), "Y|1696");
    EXPECT_TRUE(skStages.yellowSphere);
    EXPECT_EQ(skStages.stages, 8);

    const std::pair<TemplateResult*, int32_t> playlists[] = {{&s3, 0x4680}, {&sk, 0x5F82}};
    for (const auto& [result, start] : playlists) {
        auto playlist = ActionsOf<PlaylistSetup>(*result).at(0);
        EXPECT_EQ(FrameTag(playlist), std::to_string(start) + "|0|48");
        EXPECT_EQ(playlist.minSong, 1);
        EXPECT_EQ(playlist.maxSong, 0x32);
        ASSERT_EQ(playlist.songSlots.size(), 48u);
        EXPECT_EQ(playlist.songSlots[0], (PlaylistSlot{"Angel Island 1", 0}));
        EXPECT_EQ(playlist.songSlots[47].offset, 47);
        EXPECT_EQ(FrameTag(ActionsOf<WavSetup>(*result).at(0)), std::to_string(0xF8000) + "|24111|14434");
    }
}

} // namespace
} // namespace zorp
