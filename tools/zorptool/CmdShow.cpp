// zorptool show: identifies a ROM, runs its default template from the program
// directory (or the template given) and prints what each editor of the
// workspace would read from the ROM. Template messages are printed in their
// place instead of being shown.
#include <cstdio>
#include <iostream>

#include "Command.h"
#include "RomMessageLine.h"
#include "RomTemplate.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "stage/S3SFile.h"
#include "template/ByteSource.h"
#include "template/OpenGame.h"
#include "template/LevelSelectTable.h"
#include "template/PlaylistModel.h"
#include "template/S1StageBlock.h"
#include "template/S2RomData.h"
#include "template/TemplateReader.h"
#include "template/WavSample.h"
#include "linked/LinkedCodecs.h"

namespace {

int RunShow(const std::vector<std::string>& args);

const ZorptoolCommand kShow{"show", "show [--template FILE] ROM",
                            "Identifies the ROM, reads its default template (GAME.ZORP in the data folder, "
                            "or FILE) and prints what each editor reads: level select names (Sonic 2's from its "
                            "screen map), palettes, playlist slots, the special stages and the WAV sample.",
                            RunShow};

std::string Hex(int64_t value, int width = 0)
{
    if (value < 0)
        return "-" + Hex(-value, width);
    char text[32];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return zorp::PadLeftZeros(text, std::max<int>(width, static_cast<int>(std::string(text).size())));
}

// Text from the ROM or the template may hold any byte: control bytes become
// '.', bytes from 0x80 on are read as Latin-1 (the "S3" table's copyright
// sign is 0xA9) and printed as UTF-8.
std::string Printable(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            text += '.';
        } else if (c >= 0x80) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

void ShowLevelSelect(const zorp::LevelSelectSetup& setup, const zorp::ByteSource& rom)
{
    zorp::LevelSelectTable table(setup);
    table.LoadNames(rom);
    std::cout << "level select: start 0x" << Hex(setup.startAddress) << ", " << table.RowCount()
              << " names, decode table " << setup.decodeTable << "\n";
    for (int row = 0; row < table.RowCount(); ++row)
        std::cout << "  " << Printable(table.Name(row)) << "\n";
}

void ShowPalettes(const zorp::PaletteSetup& setup, const zorp::ByteSource& rom)
{
    static const char* kFormats[] = {"Genesis", "RGB_15", "RGB_15_SWAP"};
    const char* format = setup.paletteType >= 0 && setup.paletteType <= 2 ? kFormats[setup.paletteType] : "Genesis";
    for (const zorp::PaletteEntry& palette : setup.palettes) {
        std::cout << "palette: " << Printable(palette.description) << " at 0x" << Hex(palette.address) << ", "
                  << palette.count << " colours (" << format << ")\n";
        zorp::Bytes words = rom.Read(static_cast<uint64_t>(palette.address), 2 * static_cast<size_t>(palette.count));
        for (int32_t i = 0; i < palette.count; ++i) {
            std::cout << (i % 16 == 0 ? "  " : " ") << Hex(words[2 * i], 2) << Hex(words[2 * i + 1], 2);
            if (i % 16 == 15 || i == palette.count - 1)
                std::cout << "\n";
        }
    }
}

void ShowPlaylist(const zorp::PlaylistSetup& setup, const zorp::ByteSource& rom)
{
    zorp::PlaylistModel playlist(setup);
    playlist.Load(rom);
    std::cout << "playlist: start 0x" << Hex(setup.startAddress) << ", " << setup.blockSize << " bytes, songs "
              << zorp::PlaylistModel::SongText(setup.minSong) << " to " << zorp::PlaylistModel::SongText(setup.maxSong)
              << ", stored plus 0x" << Hex(setup.addValue, 2) << "\n";
    for (int row = 0; row < playlist.RowCount(); ++row) {
        std::cout << "  " << Printable(playlist.Caption(row)) << ": " << zorp::PlaylistModel::SongText(playlist.Song(row));
        if (playlist.WasClamped(row))
            std::cout << " (stored byte outside the song range)";
        std::cout << "\n";
    }
}

void ShowStages(const zorp::S3SSetup& setup)
{
    std::cout << "special stages: start 0x" << Hex(setup.startAddress) << ", " << setup.stages << " stages, ";
    if (setup.compressed)
        std::cout << "compressed, " << setup.compLength << " bytes allotted\n";
    else
        std::cout << "not compressed, " << int64_t{setup.stages} * 1032 << " bytes\n";
}

// Sonic 1: where each layout's stream lies, or why it cannot be read.
void ShowS1Stages(const zorp::S1StagesSetup& setup, const zorp::Bytes& image)
{
    const zorp::S1StagesLoad load = zorp::LoadS1Stages(setup, image, zorp::LinkedCodecCalls());
    std::cout << "special stages (Sonic 1): pointer table 0x" << Hex(setup.pointerTable) << ", " << setup.stages
              << " stages";
    if (!load.ok()) {
        std::cout << ": " << RomMessageLine(*load.error) << "\n";
        return;
    }
    std::cout << "\n";
    for (size_t k = 0; k < load.stages.size(); ++k) {
        std::cout << "  stage " << k + 1 << ": ";
        if (!load.stages[k].readable())
            std::cout << load.stages[k].error << "\n";
        else
            std::cout << "0x" << Hex(load.streams[k].offset) << ", " << load.streams[k].length << " bytes; "
                      << zorp::DescribeS1Counts(zorp::CountS1Stage(load.stages[k].cells)) << "\n";
    }
}

// Sonic 2's level select: each name as the screen shows it (UTF-8 as is),
// with the entries that start from it.
void ShowS2LevelSelect(const zorp::S2LevelSelectSetup& setup, const zorp::ByteSource& rom)
{
    const zorp::S2LevelSelectLoad load = zorp::LoadS2LevelSelect(setup, rom, zorp::LinkedCodecCalls());
    if (!load.ok()) {
        std::cout << "level select: " << RomMessageLine(*load.error) << "\n";
        return;
    }
    const zorp::S2LevelSelect& model = load.model;
    std::cout << "level select: map at 0x" << Hex(static_cast<int64_t>(load.mapStream.address)) << " (address at 0x"
              << Hex(setup.map.pointer) << "), " << model.Names().size() << " names\n";
    for (size_t i = 0; i < model.Names().size(); ++i) {
        std::cout << "  " << model.NameText(i) << ":";
        for (int entry : model.Names()[i].entries)
            std::cout << (entry == model.Names()[i].entries.front() ? " " : ", ")
                      << zorp::S2DestinationName(model.Order(static_cast<size_t>(entry)));
        if (model.LongerThanHighlight(i))
            std::cout << " (longer than the 14-tile highlight)";
        std::cout << "\n";
    }
}

void ShowS2Stages(const zorp::S2SpecialStageSetup& setup, const zorp::ByteSource& rom)
{
    const zorp::S2SpecialStageLoad load = zorp::LoadS2SpecialStages(setup, rom, zorp::LinkedCodecCalls());
    if (!load.ok()) {
        std::cout << "special stages: " << RomMessageLine(*load.error) << "\n";
        return;
    }
    std::cout << "special stages: 7 stages, layouts at 0x" << Hex(static_cast<int64_t>(load.layoutStream.address))
              << ", object lists at 0x" << Hex(static_cast<int64_t>(load.objectStream.address)) << "\n";
    for (size_t s = 0; s < zorp::kS2Stages; ++s) {
        const zorp::S2StageCheck check = zorp::CheckS2Stage(load.objects.stages[s], load.team[s], load.alone[s]);
        std::cout << "  stage " << s + 1 << ": " << load.layouts.stages[s].size() << " segments, " << check.rings
                  << " rings, " << check.bombs << " bombs; rings needed";
        for (size_t part = 0; part < 3; ++part)
            std::cout << (part ? ", " : " ") << int{load.team[s][part]} << "/" << int{load.alone[s][part]};
        std::cout << " (team/alone)\n";
        for (const std::string& warning : check.warnings)
            std::cout << "    warning: " << warning << "\n";
    }
}

void ShowStageFile(int32_t s3sKind)
{
    const char* kind = s3sKind == zorp::kS3SKindV1   ? "version 1.00"
                       : s3sKind == zorp::kS3SKindV2 ? "version 2.00"
                                                     : "not a stage file";
    std::cout << "special stage file: " << kind << "\n";
}

void ShowWav(const zorp::WavSetup& setup)
{
    std::cout << "wav sample: start 0x" << Hex(setup.startAddress) << ", " << setup.length << " bytes, "
              << setup.frequency << " Hz\n";
}

int RunShow(const std::vector<std::string>& args)
{
    std::string templatePath;
    std::string romPath;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--template" && i + 1 < args.size() && templatePath.empty())
            templatePath = args[++i];
        else if (romPath.empty() && args[i].rfind("--", 0) != 0)
            romPath = args[i];
        else
            return ZorptoolUsage(kShow);
    }
    if (romPath.empty())
        return ZorptoolUsage(kShow);
    RomAndTemplate opened;
    if (int status = LoadRomAndTemplate(romPath, templatePath, RomUse::Read, opened))
        return status;
    const zorp::OpenedGame& game = opened.game;
    const zorp::RomIdentification& id = game.identity;
    const zorp::TemplateResult& result = opened.result;
    const zorp::RomDefinitions& definitions = opened.definitions;

    // The editors read the plain image (an SMD or MGD file shows as the game).
    const zorp::ImageSource rom(game.image);

    std::cout << "game: " << id.gameId << " (" << Printable(zorp::DescribeGame(definitions, id))
              << ")\ntemplate: " << templatePath << "\n";
    if (result.fit.stated()) {
        // The workspace would open the ROM read-only when the template does not fit.
        const zorp::FitVerdict verdict = zorp::CheckTemplateFit(result.fit, game.image);
        std::cout << "fits: " << (verdict.fits ? std::string("yes") : "no (read-only): " + Printable(verdict.detail))
                  << "\n";
    }
    for (const zorp::TemplateAction& action : result.actions) {
        if (const auto* levels = std::get_if<zorp::LevelSelectSetup>(&action))
            ShowLevelSelect(*levels, rom);
        else if (const auto* palettes = std::get_if<zorp::PaletteSetup>(&action))
            ShowPalettes(*palettes, rom);
        else if (const auto* playlist = std::get_if<zorp::PlaylistSetup>(&action))
            ShowPlaylist(*playlist, rom);
        else if (const auto* stages = std::get_if<zorp::S3SSetup>(&action))
            ShowStages(*stages);
        else if (const auto* s1 = std::get_if<zorp::S1StagesSetup>(&action))
            ShowS1Stages(*s1, game.image);
        else if (std::holds_alternative<zorp::S3SFileSetup>(action))
            ShowStageFile(id.s3sKind);
        else if (const auto* wav = std::get_if<zorp::WavSetup>(&action))
            ShowWav(*wav);
        else if (const auto* s2levels = std::get_if<zorp::S2LevelSelectSetup>(&action))
            ShowS2LevelSelect(*s2levels, rom);
        else if (const auto* s2stages = std::get_if<zorp::S2SpecialStageSetup>(&action))
            ShowS2Stages(*s2stages, rom);
        else if (const auto* message = std::get_if<zorp::Message>(&action))
            std::cout << "message: " << Printable(RomMessageLine(*message)) << "\n";
    }
    return 0;
}

} // namespace
