// zorptool stages: the special stage block of a ROM as S3S files, one per
// stage, through the same block rules as the workspace's save.
//
//   export: every stage of the block becomes DIR/stage01.s3s, stage02.s3s, ...
//           (stage k counted from 1, zero-padded to two digits or to the width
//           of the largest stage number), version 2.00 unless --version 1;
//           the start data is written when the template's EXTRAPROPS is Y.
//   import: each such file present in DIR replaces its stage; a missing file
//           leaves its stage as it is. Every file is checked before anything
//           is written. A plain block is written whole; a compressed one with
//           the exact encoder's stream, else the smallest stream, else not at
//           all. Unchanged compressed stages are not rewritten.
//
//   png:    every stage as DIR/stage01.png, ... drawn as the editor shows it
//           (384 x 384, the start marker too when the template's EXTRAPROPS
//           is Y), with no display needed.
//
// The block comes from the game's default template in the data folder,
// or from --template FILE.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Command.h"
#include "RomMessageLine.h"
#include "RomTemplate.h"
#include "S1Stages.h"
#include "StagesSonicTwo.h"
#include "linked/LinkedStageCodec.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "rom/RomSave.h"
#include "template/DefaultTemplate.h"
#include "template/StageBlock.h"
#include "template/StageExchange.h"
#include "template/TemplateReader.h"

#ifdef ZORPTOOL_STAGE_PICTURES
#include "specialstage/StageImage.h"
#endif

namespace {

int RunStages(const std::vector<std::string>& args);

const ZorptoolCommand kStages{
    "stages",
    "stages export [--template FILE] [--version 1|2] ROM DIR | stages import [--template FILE] [--fix-checksum] "
    "[--grow] ROM DIR | stages png [--template FILE] ROM DIR",
    "Writes every special stage of the ROM's S3S block (its default template, or FILE) as DIR/stage01.s3s, "
    "stage02.s3s, ... (S3S version 2.00 unless --version 1), or reads such files back into the ROM; a missing "
    "file leaves its stage unchanged; png draws each stage as the editor shows it. Compressed stages are packed "
    "with the exact encoder, else the smallest stream, and refused when neither fits the room the template gives. "
    "A template made for another revision is refused for import. --fix-checksum also writes the header checksum "
    "in the same write. Sonic 1 ROMs (S1STAGES): stage1.bin ... (4096-byte layouts), stage1.eni ... (the "
    "streams, for disassemblies) and start1.bin ... (X, Y); import reads the .bin files back, and a changed stage "
    "that fits nowhere is refused unless --grow lets the ROM grow. Sonic 2 ROMs (S2SPECIALSTAGES): export writes "
    "the decoded layouts, object lists and ring tables (s2_layouts.bin, s2_objects.bin, s2_rings.bin), import "
    "reads them back (moving a stream that grew, --grow to append it to a larger image), png draws stage1.png to "
    "stage7.png.",
    RunStages};

namespace fs = std::filesystem;

struct Options {
    bool exporting = false;
    bool pictures = false;
    std::string templatePath;
    int version = 2;
    bool fixChecksum = false;
    bool grow = false;
    std::string romPath;
    std::string dir;
};

// A usage problem as one line: what is wrong, then the usage.
int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kStages.usage << ")\n";
    return 2;
}

// 0 when the options are complete, else the usage error's exit status.
int ParseOptions(const std::vector<std::string>& args, Options& options)
{
    if (args.empty())
        return ZorptoolUsage(kStages);
    if (args[0] == "export")
        options.exporting = true;
    else if (args[0] == "png")
        options.pictures = true;
    else if (args[0] != "import")
        return UsageError("unknown stages command '" + args[0] + "'");
    bool versionGiven = false;
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--template") {
            if (i + 1 >= args.size() || !options.templatePath.empty())
                return UsageError("--template needs one FILE");
            options.templatePath = args[++i];
        } else if (word == "--version" && options.exporting) {
            if (i + 1 >= args.size() || versionGiven || (args[i + 1] != "1" && args[i + 1] != "2"))
                return UsageError("--version takes 1 or 2");
            options.version = args[++i] == "1" ? 1 : 2;
            versionGiven = true;
        } else if (word == "--fix-checksum" && !options.exporting) {
            options.fixChecksum = true;
        } else if (word == "--grow" && !options.exporting && !options.pictures) {
            options.grow = true;
        } else if (word.size() > 1 && word[0] == '-') {
            return UsageError("unknown option '" + word + "'");
        } else {
            paths.push_back(word);
        }
    }
    if (paths.size() != 2)
        return UsageError("expected ROM and DIR");
    options.romPath = paths[0];
    options.dir = paths[1];
    return 0;
}

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}


// The ROM, its template's stage block and the stages read from it.
struct RomStages {
    zorp::Bytes image;
    zorp::FitVerdict fits; // whether the template fits the image
    zorp::S3SSetup setup;
    zorp::StageStore store;
    std::optional<zorp::S1StagesSetup> s1; // a Sonic 1 template: the S1STAGES block instead
    bool sonicTwo = false; // the Sonic 2 stages were handled on their own road
};

// 0 with the stages loaded, else the exit status after the error line.
int LoadRomStages(Options& options, RomStages& rom)
{
    const std::string& romPath = options.romPath;
    if (zorp::OpenedKindOfPath(romPath) == zorp::RomKind::SpecialStage)
        return ZorptoolFail(romPath + ": a special stage file, not a ROM (zorptool s3s reads those)");
    RomAndTemplate opened;
    const RomUse use = options.exporting || options.pictures ? RomUse::Read : RomUse::Write;
    if (int status = LoadRomAndTemplate(romPath, options.templatePath, use, opened))
        return status;
    const zorp::TemplateResult& result = opened.result;
    const std::string& templatePath = options.templatePath;

    // A later S3S block is set up over an earlier one, as in the workspace.
    const zorp::S3SSetup* setup = nullptr;
    const zorp::Message* lastError = nullptr;
    for (const zorp::TemplateAction& action : result.actions) {
        if (const auto* s = std::get_if<zorp::S3SSetup>(&action))
            setup = s;
        else if (const auto* m = std::get_if<zorp::Message>(&action); m && m->icon == zorp::MessageIcon::Critical)
            lastError = m;
    }
    if (!setup && LastSetup<zorp::S1StagesSetup>(result)) {
        rom.s1 = *LastSetup<zorp::S1StagesSetup>(result);
        rom.image = std::move(opened.game.image);
        rom.fits = zorp::CheckTemplateFit(result.fit, rom.image);
        return 0;
    }
    if (!setup && LastSetup<zorp::S2SpecialStageSetup>(result)) {
        SonicTwoStagesRun run;
        run.mode = options.exporting ? SonicTwoStagesRun::Mode::Export
                   : options.pictures ? SonicTwoStagesRun::Mode::Pictures
                                      : SonicTwoStagesRun::Mode::Import;
        run.romPath = romPath;
        run.templatePath = templatePath;
        run.dir = options.dir;
        run.fixChecksum = options.fixChecksum;
        run.grow = options.grow;
        rom.sonicTwo = true;
        return RunSonicTwoStages(run, opened);
    }
    if (!setup)
        return ZorptoolFail(templatePath + ": no usable special stage block (S3S, S1STAGES or S2SPECIALSTAGES)" +
                            (lastError ? " (" + RomMessageLine(*lastError) + ")" : std::string()));
    rom.setup = *setup;
    rom.sonicTwo = false;

    rom.image = std::move(opened.game.image);
    rom.fits = zorp::CheckTemplateFit(result.fit, rom.image);

    zorp::StageBlockLoad load = zorp::LoadStageBlock(rom.setup, zorp::ImageSource(rom.image), zorp::LinkedStageCodec());
    if (!load.ok())
        return ZorptoolFail(romPath + ": " + RomMessageLine(*load.error));
    for (const zorp::Message& warning : load.warnings)
        std::cerr << "zorptool: warning: " << romPath << ": " << RomMessageLine(warning) << "\n";
    rom.store = std::move(load.store);
    return 0;
}

int Export(const Options& options, const RomStages& rom)
{
    const int count = rom.store.StageCount();
    // Every file is made before the first is written, so a stage that cannot
    // be exported leaves the folder as it was.
    std::vector<zorp::Bytes> files(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        std::string error;
        if (!zorp::ExportStage(rom.store, k, rom.setup.extraProps, options.version, files[static_cast<size_t>(k)],
                               error))
            return ZorptoolFail(options.romPath + ": stage " + std::to_string(k + 1) + ": " + error +
                                (options.version == 2 ? " (version 1.00 carries values up to 15: --version 1)" : ""));
    }

    std::error_code ec;
    fs::create_directories(options.dir, ec);
    if (!fs::is_directory(options.dir, ec))
        return ZorptoolFail(options.dir + ": cannot create the folder");
    for (int k = 0; k < count; ++k) {
        const std::string path = (fs::path(options.dir) / zorp::StageFileName(k, count)).string();
        const std::string error = zorp::WriteFileBytes(path, files[static_cast<size_t>(k)]);
        if (!error.empty())
            return ZorptoolFail(path + ": " + error);
    }
    std::cout << "exported " << count << (count == 1 ? " stage" : " stages") << " to " << options.dir << ": "
              << zorp::StageFileName(0, count)
              << (count > 1 ? " to " + zorp::StageFileName(count - 1, count) : std::string()) << " (S3S version "
              << (options.version == 1 ? "1.00" : "2.00")
              << (rom.setup.extraProps ? ", with start data)" : ", without start data)") << "\n";
    return 0;
}

int Import(const Options& options, RomStages& rom)
{
    std::error_code ec;
    if (!fs::is_directory(options.dir, ec))
        return ZorptoolFail(options.dir + ": not a folder");

    const int count = rom.store.StageCount();
    const zorp::Bytes before = rom.store.Block();
    int filesRead = 0;
    for (int k = 0; k < count; ++k) {
        const std::string path = (fs::path(options.dir) / zorp::StageFileName(k, count)).string();
        if (!fs::exists(path, ec))
            continue;
        const auto size = zorp::FileSize(path);
        if (!fs::is_regular_file(path, ec) || !size)
            return ZorptoolFail(path + ": cannot read the file; the ROM was not written");
        if (*size > zorp::kMaxStageFileSize)
            return ZorptoolFail(path + ": too large for an S3S file; the ROM was not written");
        const auto bytes = zorp::ReadFileBytes(path, zorp::kMaxStageFileSize);
        if (!bytes)
            return ZorptoolFail(path + ": cannot read the file; the ROM was not written");
        zorp::S3SStage stage;
        std::string error;
        if (!zorp::ReadStageFile(*bytes, stage, error))
            return ZorptoolFail(path + ": " + error + "; the ROM was not written");
        zorp::ImportStage(rom.store, k, stage, rom.setup.extraProps);
        ++filesRead;
    }
    if (filesRead == 0)
        return ZorptoolFail(options.dir + ": no stage files (" + zorp::StageFileName(0, count) +
                            ", ...) found; the ROM was not written");

    const std::string read = "read " + std::to_string(filesRead) + (filesRead == 1 ? " stage file" : " stage files");
    // Saving a compressed block without edits writes nothing, as in the
    // workspace: recompressing would only change the stream's bytes.
    if (rom.setup.compressed && rom.store.Block() == before) {
        std::cout << read << "; no stage changed, the ROM was not written\n";
        return 0;
    }

    const zorp::StageBlockSave plan =
        zorp::PlanStageBlockSave(rom.setup, rom.store.Block(), rom.image.size(), zorp::LinkedStageCodec());
    if (!plan.ok()) {
        if (plan.error->title == zorp::OutOfSpaceMessage().title) {
            std::string sizes = std::to_string(plan.exactSize) + " bytes with the exact encoder";
            if (plan.smallestSize)
                sizes += ", " + std::to_string(plan.smallestSize) + " as the smallest stream";
            return ZorptoolFail(options.romPath + ": the compressed special stages do not fit: " + sizes + ", " +
                                std::to_string(plan.room) + " bytes allotted; the ROM was not written");
        }
        return ZorptoolFail(options.romPath + ": " + RomMessageLine(*plan.error));
    }
    if (!rom.fits.fits)
        return ZorptoolFail(options.templatePath + ": the template does not fit this ROM: " + rom.fits.detail +
                            " The ROM was not written.");
    zorp::SaveOptions save;
    save.fixChecksum = options.fixChecksum;
    save.expected = zorp::StampOf(rom.image);
    const zorp::SaveResult written = zorp::SavePatches(options.romPath, {*plan.write}, save);
    if (written.outcome == zorp::SaveOutcome::Changed)
        return ZorptoolFail(options.romPath + ": the file changed while it was being read; the ROM was not written");
    if (!written.ok())
        return ZorptoolFail(options.romPath + ": " + written.error + "; the ROM was not written");

    std::cout << read << "; wrote " << plan.write->bytes.size() << " bytes at " << Hex(plan.write->offset);
    switch (plan.encoder) {
    case zorp::StageEncoder::None:
        std::cout << " (" << count << (count == 1 ? " stage" : " stages") << ", not compressed)\n";
        break;
    case zorp::StageEncoder::Exact:
        std::cout << " (exact encoder, " << plan.room << " bytes allotted)\n";
        break;
    case zorp::StageEncoder::Smallest:
        std::cout << " (smallest stream; the exact encoder gave " << plan.exactSize << " bytes, " << plan.room
                  << " allotted)\n";
        break;
    }
    return 0;
}

int Pictures(const Options& options, const RomStages& rom)
{
#ifdef ZORPTOOL_STAGE_PICTURES
    const int count = rom.store.StageCount();
    std::vector<zorp::Bytes> files(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        zorp::StartData start; // no marker unless the template carries the start data
        if (rom.setup.extraProps)
            zorp::ApplyProperties(rom.store.Properties(k), start);
        files[static_cast<size_t>(k)] = zorp::ui::EncodePng(zorp::ui::RenderStageImage(rom.store.Grid(k), start));
        if (files[static_cast<size_t>(k)].empty())
            return ZorptoolFail("stage " + std::to_string(k + 1) + ": the picture could not be encoded");
    }
    std::error_code ec;
    fs::create_directories(options.dir, ec);
    if (!fs::is_directory(options.dir, ec))
        return ZorptoolFail(options.dir + ": cannot create the folder");
    for (int k = 0; k < count; ++k) {
        const std::string path =
            (fs::path(options.dir) / fs::path(zorp::StageFileName(k, count)).replace_extension(".png")).string();
        const std::string error = zorp::WriteFileBytes(path, files[static_cast<size_t>(k)]);
        if (!error.empty())
            return ZorptoolFail(path + ": " + error);
    }
    std::cout << "drew " << count << (count == 1 ? " stage" : " stages") << " to " << options.dir
              << " (384 x 384 PNG each)\n";
    return 0;
#else
    return ZorptoolFail("this zorptool was built without Qt, so it cannot draw stages");
#endif
}

int RunStages(const std::vector<std::string>& args)
{
    Options options;
    if (int status = ParseOptions(args, options))
        return status;
    RomStages rom;
    const int status = LoadRomStages(options, rom);
    if (status || rom.sonicTwo)
        return status;
    if (rom.s1) {
        const S1StagesCommand command{options.romPath, options.templatePath, options.dir, options.fixChecksum,
                                      options.grow};
        if (options.pictures)
            return DrawS1Stages(command, *rom.s1, rom.image);
        return options.exporting ? ExportS1Stages(command, *rom.s1, rom.image)
                                 : ImportS1Stages(command, *rom.s1, rom.image, rom.fits);
    }
    if (options.grow)
        return UsageError("--grow is for Sonic 1 templates (S1STAGES)");
    if (options.pictures)
        return Pictures(options, rom);
    return options.exporting ? Export(options, rom) : Import(options, rom);
}

} // namespace
