// The template language: lines, commands, keys, defaults, carry-over and the
// fixed messages.
#include <gtest/gtest.h>

#include "rom/Message.h"
#include "template/TemplateLimits.h"
#include "template/TemplateMessages.h"
#include "template/TemplateReader.h"
#include "TemplateTestUtil.h"

namespace zorp {
namespace {

using test::ActionsOf;
using test::Read;

const std::vector<std::string> kWav = {"WAVIMPORTER", "STARTADDR: 0x100", "WAVLENGTH: 10", "ENDFRAME"};

std::vector<std::string> With(std::vector<std::string> lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

TEST(TemplateReader, CommandWordsAreTrimmedCommentCutAndCaseFree)
{
    auto result = Read({"  wavimporter   ; the SEGA sound", "StartAddr: 0x100", "wavlength: 10", "endframe"});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 1u);
    EXPECT_EQ(wavs[0].startAddress, 0x100);
    EXPECT_EQ(wavs[0].length, 10);
    EXPECT_TRUE(result.Messages().empty());
}

TEST(TemplateReader, SkipsBlankAndCommentLinesAtTopLevel)
{
    auto result = Read(With({"", "   ", "; a comment", "\t; indented comment"}, kWav));
    EXPECT_EQ(result.actions.size(), 1u);
    EXPECT_TRUE(result.Messages().empty());
}

TEST(TemplateReader, CommandWithAValueIsAnInvalidCommandShownInItsOwnCase)
{
    auto result = Read(With({"LevelSelect: 5 ; comment"}, kWav));
    ASSERT_EQ(result.actions.size(), 2u);
    const Message* message = std::get_if<Message>(&result.actions[0]);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->icon, MessageIcon::Critical);
    EXPECT_EQ(message->title, "Invalid Command");
    EXPECT_EQ(message->lines,
              (std::vector<std::string>{"Invalid command in template file:", "LevelSelect: 5", "",
                                        "Please download the latest version of ZORP-II at the official website:",
                                        kOfficialWebsite}));
    // Reading goes on with the next line: the WAV block still counts.
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
}

TEST(TemplateReader, UnknownWordsAndPrefixesAreInvalidCommands)
{
    auto result = Read({"FOOBAR", "LEVELSELECTX", "ENDFRAME", "S3S FILE"});
    auto messages = result.Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].lines[1], "FOOBAR");
    EXPECT_EQ(messages[1].lines[1], "LEVELSELECTX");
    EXPECT_EQ(messages[2].lines[1], "ENDFRAME"); // an ENDFRAME outside a block
    EXPECT_EQ(messages[3].lines[1], "S3S FILE");
}

TEST(TemplateReader, AcceptsLfOnlyLineEndsAndALastLineWithoutEnding)
{
    auto result = ReadTemplate("WAVIMPORTER\nSTARTADDR: 0x10\nWAVLENGTH: 4\nENDFRAME", {});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 1u);
    EXPECT_EQ(wavs[0].startAddress, 0x10);
}

TEST(TemplateReader, ByteOrderMarkBeforeTheHeaderIsSkipped)
{
    auto result = ReadTemplate("\xEF\xBB\xBFZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: S1\r\n"
                               "ZORP-II VERSION: 0.0.99\r\n",
                               {});
    EXPECT_EQ(result.refusal, TemplateRefusal::Outdated);
}

TEST(TemplateReader, BlockKeysIgnoreCaseAndNumbersNeedLowerCaseHexPrefix)
{
    auto result = Read({"WAVIMPORTER", "startaddr: 0x1000", "WAVLENGTH: 8", "ENDFRAME",
                        // The same digits after 0X are not a number: the address stays 4096.
                        "WAVIMPORTER", "STARTADDR: 0X2000", "ENDFRAME"});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 2u);
    EXPECT_EQ(wavs[0].startAddress, 4096);
    EXPECT_EQ(wavs[1].startAddress, 4096);
}

TEST(TemplateReader, BlockLinesCutCommentsAndSkipUnknownKeys)
{
    auto result = Read({"WAVIMPORTER", "; a comment line", "", "UNKNOWN: 5", "STARTADDR: 0x20 ; sample start",
                        "WAVLENGTH : 12", "FREQUENCY:8000;rate", "EndFrame"});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 1u);
    EXPECT_EQ(wavs[0].startAddress, 0x20);
    EXPECT_EQ(wavs[0].length, 12);
    EXPECT_EQ(wavs[0].frequency, 8000);
}

TEST(TemplateReader, WavImporterDefaultsToSixteenKilohertzAndResetsTheFrequency)
{
    auto result = Read({"WAVIMPORTER", "STARTADDR: 0x100", "WAVLENGTH: 10", "FREQUENCY: 14434", "ENDFRAME",
                        "WAVIMPORTER", "ENDFRAME", "WAVIMPORTER", "FREQUENCY: 0", "ENDFRAME"});
    auto wavs = ActionsOf<WavSetup>(result);
    ASSERT_EQ(wavs.size(), 3u);
    EXPECT_EQ(wavs[0].frequency, 14434);
    // A new block resets the frequency, keeps address and length.
    EXPECT_EQ(wavs[1].frequency, 16000);
    EXPECT_EQ(wavs[1].startAddress, 0x100);
    EXPECT_EQ(wavs[1].length, 10);
    EXPECT_EQ(wavs[2].frequency, 16000);
    EXPECT_EQ(FrameTag(wavs[0]), "256|10|14434");
    EXPECT_EQ(WavSpecsLabel(16000, 12345),
              "This game requires a WAV file with the frequency 16000Hz. The WAV must not be larger than 12345 bytes.");
}

TEST(TemplateReader, LevelSelectBuildsLevelsAndTags)
{
    auto result = Read({"LEVELSELECT", "LEVELS: 3", "VARLENGTH: Y", "LVLLENGTH_S: 1: 12", "LVLLENGTH_S: 2: 9",
                        "LVLLENGTH_S: 3: 13", "STARTADDR: 0x7017", "DECODETBL: S3", "SEPARATOR: 1", "VARSEP: N",
                        "ENDFRAME"});
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    const auto& s = setups[0];
    EXPECT_EQ(s.startAddress, 0x7017);
    EXPECT_EQ(s.decodeTable, "S3");
    EXPECT_TRUE(s.variableLengths);
    EXPECT_EQ(s.longestLength, 13);
    EXPECT_EQ(s.levels, (std::vector<LevelEntry>{{12, 1}, {9, 1}, {13, 1}}));
    EXPECT_EQ(FrameTag(s), "28695|S3|VAR");
    EXPECT_EQ(RowTag(s.levels[1]), "9|1");
}

TEST(TemplateReader, LevelSelectFlagsAreExactUpperCaseY)
{
    auto result = Read({"LEVELSELECT", "LEVELS: 2", "LVLLENGTH: 4", "VARLENGTH: y", "LVLLENGTH_S: 1: 20",
                        "VARSEP: y", "SEPAMT: 1: 5", "SEPARATOR: 2", "STARTADDR: 0", "DECODETBL: S1", "ENDFRAME"});
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    // Lower-case y counts as no: the common length and separator apply.
    EXPECT_FALSE(setups[0].variableLengths);
    EXPECT_EQ(setups[0].levels, (std::vector<LevelEntry>{{4, 2}, {4, 2}}));
    // The longest name still counts the per-level value.
    EXPECT_EQ(setups[0].longestLength, 20);
    EXPECT_EQ(FrameTag(setups[0]), "0|S1|NOVAR");
}

TEST(TemplateReader, LevelSelectVarSepWithoutSepAmtGivesZero)
{
    auto result = Read({"LEVELSELECT", "LEVELS: 3", "LVLLENGTH: 5", "SEPARATOR: 7", "VARSEP: Y", "SEPAMT: 2: 3",
                        "STARTADDR: 0x10", "DECODETBL: C++", "ENDFRAME"});
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].levels, (std::vector<LevelEntry>{{5, 0}, {5, 3}, {5, 0}}));
}

TEST(TemplateReader, LevelNumbersOutsideTheTableHaveNoEffect)
{
    auto result = Read({"LEVELSELECT", "LEVELS: 2", "VARLENGTH: Y", "VARSEP: Y", "LVLLENGTH_S: 0: 30",
                        "LVLLENGTH_S: 3: 30", "LVLLENGTH_S: x: 30", "SEPAMT: -1: 4", "SEPAMT: 3: 4",
                        "LVLLENGTH_S: 2: 6", "STARTADDR: 0", "DECODETBL: S1", "ENDFRAME"});
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_TRUE(result.Messages().empty());
    EXPECT_EQ(setups[0].levels, (std::vector<LevelEntry>{{0, 0}, {6, 0}}));
    EXPECT_EQ(setups[0].longestLength, 6);
}

TEST(TemplateReader, LevelSelectResetsOnlyTheLongestName)
{
    auto result = Read({"LEVELSELECT", "LEVELS: 2", "LVLLENGTH: 24", "STARTADDR: 0x35A2", "DECODETBL: S1",
                        "ENDFRAME", "LEVELSELECT", "ENDFRAME"});
    auto setups = ActionsOf<LevelSelectSetup>(result);
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[1].levels, setups[0].levels);
    EXPECT_EQ(setups[1].startAddress, 0x35A2);
    EXPECT_EQ(setups[1].decodeTable, "S1");
    EXPECT_EQ(setups[0].longestLength, 24);
    EXPECT_EQ(setups[1].longestLength, 0);
}

TEST(TemplateReader, PaletteLinesWithAndWithoutCount)
{
    auto result = Read({"PALEDIT", "Green Hill: 0x23A8: 48", "Sonic : 0x2388", "  ", "Odd: 0x10: many",
                        "paltype: rgb_15", "ENDFRAME"});
    auto setups = ActionsOf<PaletteSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].palettes, (std::vector<PaletteEntry>{{"Green Hill", 0x23A8, 48}, {"Sonic", 0x2388, 16},
                                                             {"Odd", 0x10, 16}}));
    EXPECT_EQ(setups[0].largestCount, 48);
    EXPECT_EQ(setups[0].paletteType, 1);
    EXPECT_EQ(FrameTag(setups[0]), "LOADED");
}

TEST(TemplateReader, PalTypeCarriesOverAndUnknownValuesKeepIt)
{
    auto result = Read({"PALEDIT", "PALTYPE: RGB_15_SWAP", "A: 0", "ENDFRAME", "PALEDIT", "PALTYPE: GENESIS",
                        "B: 2: 4", "ENDFRAME"});
    auto setups = ActionsOf<PaletteSetup>(result);
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[0].paletteType, 2);
    EXPECT_EQ(setups[1].paletteType, 2);
    // The palette list starts anew at every PALEDIT.
    EXPECT_EQ(setups[1].palettes, (std::vector<PaletteEntry>{{"B", 2, 4}}));
    EXPECT_EQ(setups[1].largestCount, 4);
}

TEST(TemplateReader, PlaylistFillsSlotsInOrderAndIgnoresSurplusSongs)
{
    auto result = Read({"PLAYLIST", "SONG: Before: 1", "STARTADDR: 0x3EA0", "MINSONG: 0x01", "MAXSONG: 0x1F",
                        "ADDVALTOROM: 0x80", "PLAYLISTSIZE: 17", "PLAYLISTS: 2", "SONG: Emerald Hill: 0",
                        "SONG: Chemical Plant: 0x0D", "SONG: Extra: 3", "ENDFRAME"});
    auto setups = ActionsOf<PlaylistSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_TRUE(result.Messages().empty());
    const auto& p = setups[0];
    EXPECT_EQ(p.minSong, 1);
    EXPECT_EQ(p.maxSong, 0x1F);
    EXPECT_EQ(p.addValue, 0x80);
    EXPECT_EQ(p.blockSize, 17);
    EXPECT_EQ(p.songSlots, (std::vector<PlaylistSlot>{{"Emerald Hill", 0}, {"Chemical Plant", 13}}));
    EXPECT_EQ(FrameTag(p), "16032|128|17");
}

TEST(TemplateReader, SpecialStageFlagsIgnoreCaseAndTheBlockResetsItsFlags)
{
    auto result = Read({"S3S", "STARTADDR: 0x6A0E0", "STAGES: 8", "EXTRAPROPS: y", "YELLOWSPHERE: Y",
                        "MULTISTAGE: y", "ENDFRAME", "S3S", "ENDFRAME"});
    auto setups = ActionsOf<S3SSetup>(result);
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[0].stages, 8);
    EXPECT_TRUE(setups[0].extraProps);
    EXPECT_TRUE(setups[0].yellowSphere);
    EXPECT_TRUE(setups[0].multiStage);
    EXPECT_FALSE(setups[0].compressed);
    EXPECT_EQ(FrameTag(setups[0]), "434400");
    EXPECT_EQ(EditorTag(setups[0]), "N|0");
    // S3S resets the stage count and three flags, not YELLOWSPHERE.
    EXPECT_EQ(setups[1].stages, 1);
    EXPECT_FALSE(setups[1].extraProps);
    EXPECT_FALSE(setups[1].multiStage);
    EXPECT_TRUE(setups[1].yellowSphere);
    EXPECT_EQ(setups[1].startAddress, 0x6A0E0);
}

TEST(TemplateReader, CompressedStagesWithTheCodec)
{
    auto result = Read({"S3S", "STARTADDR: 0x1FCF2A", "COMPRESSED: y", "COMPLENGTH: 0x6A0", "ENDFRAME"}, true);
    auto setups = ActionsOf<S3SSetup>(result);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_TRUE(setups[0].compressed);
    EXPECT_EQ(setups[0].compLength, 1696);
    EXPECT_EQ(EditorTag(setups[0]), "Y|1696");
}

TEST(TemplateReader, CompressedStagesWithoutTheCodecSkipTheBlock)
{
    auto result = Read(With({"S3S", "STARTADDR: 0x1FCF2A", "STAGES: 8", "COMPRESSED: Y",
                             // The rest of the block is skipped, even lines that look like commands.
                             "MSGBOX", "COMPLENGTH: 0x6A0", "ENDFRAME"},
                            kWav),
                       false);
    EXPECT_TRUE(ActionsOf<S3SSetup>(result).empty());
    ASSERT_EQ(result.actions.size(), 2u);
    const Message* message = std::get_if<Message>(&result.actions[0]);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->icon, MessageIcon::Critical);
    EXPECT_EQ(message->title, "The Ostrel Not Found");
    EXPECT_EQ(message->lines,
              (std::vector<std::string>{"Error: The Ostrel v0.0.2 (or later) has not been found.",
                                        "The selected ROM's template requested access to The Ostrel.",
                                        "The specific function requiring The Ostrel has been disabled.", "",
                                        "Please download The Ostrel at Tazzle Software's website,",
                                        std::string(kCodecWebsite) + " ."}));
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
    EXPECT_EQ(result.refusal, TemplateRefusal::None);
}

TEST(TemplateReader, SpecialStagesWithoutStartAddressStayInactive)
{
    auto result = Read({"S3S", "STAGES: 8", "ENDFRAME"});
    EXPECT_TRUE(result.actions.empty());
}

TEST(TemplateReader, S3SFileIsASingleLine)
{
    auto result = Read(With({"S3S_FILE"}, kWav));
    ASSERT_EQ(result.actions.size(), 2u);
    const auto* file = std::get_if<S3SFileSetup>(&result.actions[0]);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->stages, 1);
    EXPECT_TRUE(file->showArrows);
    EXPECT_TRUE(file->enableYellowSphere);
    EXPECT_FALSE(file->enableS3SFunctions);
    EXPECT_FALSE(file->showStageNumCombo);
    EXPECT_EQ(FrameTag(*file), "S3S");
    EXPECT_EQ(EditorTag(*file), "N|0");
}

TEST(TemplateReader, StartAddressIsSharedByAllCommands)
{
    auto result = Read({"PLAYLIST", "STARTADDR: 0x379A", "MINSONG: 1", "MAXSONG: 1", "ADDVALTOROM: 0",
                        "PLAYLISTSIZE: 1", "ENDFRAME", "WAVIMPORTER", "WAVLENGTH: 5", "ENDFRAME", "S3S", "ENDFRAME"});
    ASSERT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
    EXPECT_EQ(ActionsOf<WavSetup>(result)[0].startAddress, 0x379A);
    ASSERT_EQ(ActionsOf<S3SSetup>(result).size(), 1u);
    EXPECT_EQ(ActionsOf<S3SSetup>(result)[0].startAddress, 0x379A);
}

TEST(TemplateReader, MsgBoxKeepsTextUpToAColonAndCarriesTitleAndIcon)
{
    auto result = Read({"MSGBOX", "ICON: info", "TITLE: Hello there", "MSGLINE: Time: 12:00", "MSGLINE:",
                        "MSGLINE", "msgline: last", "ENDFRAME", "MSGBOX", "MSGLINE: second box", "ENDFRAME"});
    auto messages = ActionsOf<Message>(result);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages[0].title, "Hello there");
    EXPECT_EQ(messages[0].lines, (std::vector<std::string>{"Time", "", "last"}));
    EXPECT_EQ(messages[0].text(), "Time\n\nlast");
    // Title and icon carry over; the text starts empty.
    EXPECT_EQ(messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(messages[1].title, "Hello there");
    EXPECT_EQ(messages[1].lines, (std::vector<std::string>{"second box"}));
}

TEST(TemplateReader, MsgBoxIconValues)
{
    const std::pair<const char*, MessageIcon> cases[] = {
        {"EXCLAMATION", MessageIcon::Exclamation}, {"!", MessageIcon::Exclamation},
        {"critical", MessageIcon::Critical},       {"STOP", MessageIcon::Critical},
        {"Error", MessageIcon::Critical},          {"x", MessageIcon::Critical},
        {"INFORMATION", MessageIcon::Information}, {"INFO", MessageIcon::Information},
        {"i", MessageIcon::Information},           {"Question", MessageIcon::Question},
        {"q", MessageIcon::Question},              {"?", MessageIcon::Question},
    };
    for (const auto& [value, icon] : cases) {
        auto messages = ActionsOf<Message>(Read({"MSGBOX", std::string("ICON: ") + value, "ENDFRAME"}));
        ASSERT_EQ(messages.size(), 1u) << value;
        EXPECT_EQ(messages[0].icon, icon) << value;
    }
    // The first box without ICON and TITLE has neither; an unknown icon keeps the last one.
    auto messages = ActionsOf<Message>(
        Read({"MSGBOX", "ENDFRAME", "MSGBOX", "ICON: ?", "ENDFRAME", "MSGBOX", "ICON: smiley", "ENDFRAME"}));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages[0].title, "");
    EXPECT_EQ(messages[2].icon, MessageIcon::Question);
}

TEST(TemplateReader, FileEndingInsideAMsgBoxStillShowsIt)
{
    auto result = ReadTemplate("MSGBOX\r\nTITLE: Cut\r\nMSGLINE: one\r\nMSGLINE: two", {});
    auto messages = ActionsOf<Message>(result);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Cut");
    EXPECT_EQ(messages[0].lines, (std::vector<std::string>{"one", "two"}));
}

TEST(TemplateReader, FileEndingInsideABlockSetsItUp)
{
    auto result = ReadTemplate("WAVIMPORTER\r\nSTARTADDR: 0x10\r\nWAVLENGTH: 4\r\n", {});
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
}

TEST(TemplateReader, HeaderGivesGameAndVersion)
{
    auto result = Read(With({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S&K", "ZORP-II VERSION: 0.0.13"}, kWav));
    EXPECT_TRUE(result.hasHeader);
    EXPECT_EQ(result.headerValue, "S&K");
    EXPECT_EQ(result.version, "0.0.13");
    EXPECT_EQ(result.refusal, TemplateRefusal::None);
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
}

TEST(TemplateReader, VersionCheckAgainstTheProgramVersion)
{
    const std::pair<const char*, bool> cases[] = {
        {"0.0.14", false}, {"0.0.9", false},  {"0.0.0014", false}, {"0.0.15", true}, {"0.1.0", true},
        {"1.0.0", true},   {"00.00.14", false}, {"0.0.12345", true},
        // No three numeric parts: not checked.
        {"abc", false},    {"0.0", false},    {"", false},        {"0.x.99", false}, {"1..2", false},
    };
    for (const auto& [version, refused] : cases) {
        auto result = Read(With({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1",
                                 std::string("ZORP-II VERSION: ") + version},
                                kWav));
        EXPECT_EQ(result.refusal == TemplateRefusal::Outdated, refused) << version;
        if (refused) {
            // The message is the last (and only) action: nothing after the version line was read.
            ASSERT_EQ(result.actions.size(), 1u) << version;
            const Message& m = std::get<Message>(result.actions.back());
            EXPECT_EQ(m.icon, MessageIcon::Critical);
            EXPECT_EQ(m.title, "Outdated Version");
            EXPECT_EQ(m.lines, (std::vector<std::string>{
                                   "The specified template file is designed for a later version of ZORP-II.", "",
                                   "Please download the latest version at the official website:",
                                   kOfficialWebsite}));
            EXPECT_EQ(RefusalStatus(result.refusal), "OUTDATED");
        } else {
            EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u) << version;
        }
    }
}

TEST(TemplateReader, HeaderFollowedDirectlyByTheVersionLine)
{
    // The version line is taken as the game line, so the later version is
    // not checked; the next line is consumed as the version line and ignored
    // because its key is not ZORP-II VERSION.
    auto result = Read(With({"ZORP-II FLEXIBLE PROGRAMMING FILE", "ZORP-II VERSION: 9.9.9", "S3S_FILE"}, kWav));
    EXPECT_EQ(result.refusal, TemplateRefusal::None);
    EXPECT_EQ(result.headerValue, "9.9.9");
    EXPECT_EQ(result.version, "");
    EXPECT_TRUE(ActionsOf<S3SFileSetup>(result).empty());
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
    EXPECT_TRUE(result.Messages().empty());
}

TEST(TemplateReader, HeaderLinesAreReadWhateverTheyHold)
{
    auto result = Read(With({"ZORP-II FLEXIBLE PROGRAMMING FILE", "", "; comment"}, kWav));
    EXPECT_EQ(result.headerValue, "");
    EXPECT_TRUE(result.Messages().empty());
    EXPECT_EQ(ActionsOf<WavSetup>(result).size(), 1u);
    // A file that ends inside the header is simply done.
    auto cut = ReadTemplate("ZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: S2", {});
    EXPECT_EQ(cut.headerValue, "S2");
    EXPECT_TRUE(cut.actions.empty());
}

TEST(TemplateReader, SiblingFormatTemplateIsRefusedWhereverItStands)
{
    auto result = Read(With(With(kWav, {"zorp .net template file"}), kWav));
    ASSERT_EQ(result.actions.size(), 2u);
    EXPECT_EQ(result.refusal, TemplateRefusal::Net);
    EXPECT_EQ(RefusalStatus(result.refusal), "NET");
    const Message& m = std::get<Message>(result.actions.back());
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.title, "ZORP .NET Template Detected");
    EXPECT_EQ(m.lines, (std::vector<std::string>{"The default template for this ROM is an ZORP .NET template.",
                                                 "ZORP-II cannot use ZORP .NET templates. Please download",
                                                 std::string("ZORP .NET at out website, ") + kSiblingWebsite +
                                                     " ."}));
    EXPECT_EQ(RefusalStatus(TemplateRefusal::None), "");
}

TEST(TemplateReader, ActionsKeepFileOrder)
{
    auto result = Read({"MSGBOX", "MSGLINE: first", "ENDFRAME", "S3S_FILE", "MSGBOX", "MSGLINE: last", "ENDFRAME"});
    ASSERT_EQ(result.actions.size(), 3u);
    EXPECT_EQ(std::get<Message>(result.actions[0]).lines[0], "first");
    EXPECT_TRUE(std::holds_alternative<S3SFileSetup>(result.actions[1]));
    EXPECT_EQ(std::get<Message>(result.actions[2]).lines[0], "last");
}

TEST(TemplateReader, OversizedTemplateIsNotRead)
{
    std::string big = test::Crlf(kWav);
    big.resize(kMaxTemplateSize + 1, ' ');
    auto result = ReadTemplate(big, {});
    ASSERT_EQ(result.actions.size(), 1u);
    EXPECT_EQ(std::get<Message>(result.actions[0]).title, "Invalid Template");
    // Exactly at the limit it is read.
    std::string fits = test::Crlf(kWav);
    fits.resize(kMaxTemplateSize, ' ');
    EXPECT_EQ(ActionsOf<WavSetup>(ReadTemplate(fits, {})).size(), 1u);
}

TEST(TemplateReader, UnreadableFileGivesAMessage)
{
    auto result = ReadTemplateFile("/nonexistent/dir/X.ZORP", {});
    ASSERT_EQ(result.actions.size(), 1u);
    EXPECT_EQ(std::get<Message>(result.actions[0]).title, "Invalid Template");
}

} // namespace
} // namespace zorp

namespace zorp {
namespace {

TEST(TemplateReader, FitsBlockStatesWhichImagesTheTemplateFits)
{
    const TemplateResult result =
        ReadTemplate("FITS\nREVISION: Game REV01\nTEXT: 0x10: AB:C ; comment\nBYTES: 2: 0a ff\nENDFRAME\n", {});
    EXPECT_TRUE(result.Messages().empty());
    EXPECT_EQ(result.fit.madeFor, "Game REV01");
    Bytes image(0x20, 0);
    EXPECT_FALSE(CheckTemplateFit(result.fit, image).fits);
    image[2] = 0x0A;
    image[3] = 0xFF;
    const std::string text = "AB:C";
    std::copy(text.begin(), text.end(), image.begin() + 0x10);
    EXPECT_TRUE(CheckTemplateFit(result.fit, image).fits);
    // Too short an image does not fit, and says where it ends.
    const FitVerdict shortImage = CheckTemplateFit(result.fit, Bytes(image.begin(), image.begin() + 0x12));
    EXPECT_FALSE(shortImage.fits);
    EXPECT_NE(shortImage.detail.find("ends before 0x14"), std::string::npos) << shortImage.detail;
    // No FITS block: every image fits.
    EXPECT_TRUE(CheckTemplateFit(ReadTemplate("MSGBOX\nENDFRAME\n", {}).fit, Bytes{}).fits);

    // A line that cannot be used refuses the block, and then nothing fits.
    for (const char* bad : {"BYTES: 2: 0g", "BYTES: 2: 123", "TEXT: -1: A", "TEXT: x: A", "TEXT: 4:"}) {
        const TemplateResult refused = ReadTemplate(std::string("FITS\n") + bad + "\nENDFRAME\n", {});
        EXPECT_EQ(refused.Messages().size(), 1u) << bad;
        EXPECT_FALSE(CheckTemplateFit(refused.fit, image).fits) << bad;
    }
}

} // namespace
} // namespace zorp
