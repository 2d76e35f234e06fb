#include "StagesSonicTwo.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "RomMessageLine.h"
#include "linked/LinkedCodecs.h"
#include "rom/RomSave.h"
#include "template/S2RomSave.h"
#include "template/TemplateFit.h"

#ifdef ZORPTOOL_STAGE_PICTURES
#include <QGuiApplication>

#include "specialstage/S2StagePictures.h"
#include "specialstage/StageImage.h"
#endif

namespace {

namespace fs = std::filesystem;

const char* const kLayoutsFile = "s2_layouts.bin";
const char* const kObjectsFile = "s2_objects.bin";
const char* const kRingsFile = "s2_rings.bin";

std::string In(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

int Export(const SonicTwoStagesRun& run, const zorp::S2SpecialStageLoad& load)
{
    std::error_code ec;
    fs::create_directories(run.dir, ec);
    if (!fs::is_directory(run.dir, ec))
        return ZorptoolFail(run.dir + ": cannot create the folder");
    zorp::Bytes rings = zorp::WriteS2RingTable(load.team);
    const zorp::Bytes alone = zorp::WriteS2RingTable(load.alone);
    rings.insert(rings.end(), alone.begin(), alone.end());
    const std::pair<const char*, const zorp::Bytes*> files[] = {
        {kLayoutsFile, &load.layoutStream.data}, {kObjectsFile, &load.objectStream.data}, {kRingsFile, &rings}};
    for (const auto& [name, bytes] : files) {
        const std::string error = zorp::WriteFileBytes(In(run.dir, name), *bytes);
        if (!error.empty())
            return ZorptoolFail(In(run.dir, name) + ": " + error);
    }
    std::cout << "exported the 7 Sonic 2 special stages to " << run.dir << ": " << kLayoutsFile << " ("
              << load.layoutStream.data.size() << " bytes), " << kObjectsFile << " (" << load.objectStream.data.size()
              << " bytes), " << kRingsFile << " (56 bytes)\n";
    return 0;
}

// Reads a file of at most `cap` bytes; nullopt (with the error printed) otherwise.
std::optional<zorp::Bytes> ReadPart(const std::string& path, size_t cap, int& status)
{
    const auto size = zorp::FileSize(path);
    if (!size || *size > cap) {
        status = ZorptoolFail(path + ": " + (size ? "larger than the game's " + std::to_string(cap) + " bytes of memory"
                                                  : std::string("cannot read the file")) +
                              "; the ROM was not written");
        return std::nullopt;
    }
    auto bytes = zorp::ReadFileBytes(path, cap);
    if (!bytes)
        status = ZorptoolFail(path + ": cannot read the file; the ROM was not written");
    return bytes;
}

int Import(const SonicTwoStagesRun& run, const zorp::S2SpecialStageSetup& setup, const zorp::S2SpecialStageLoad& load,
           const zorp::Bytes& image, const zorp::FitVerdict& fits)
{
    std::error_code ec;
    if (!fs::is_directory(run.dir, ec))
        return ZorptoolFail(run.dir + ": not a folder");
    zorp::Bytes layouts = load.layoutStream.data;
    zorp::Bytes objects = load.objectStream.data;
    zorp::S2RingTable team = load.team;
    zorp::S2RingTable alone = load.alone;
    int read = 0;
    int status = 0;
    if (fs::exists(In(run.dir, kLayoutsFile), ec)) {
        auto bytes = ReadPart(In(run.dir, kLayoutsFile), zorp::kS2LayoutRamLimit, status);
        if (!bytes)
            return status;
        const zorp::S2LayoutRead parsed = zorp::ReadS2Layouts(*bytes);
        if (!parsed.ok())
            return ZorptoolFail(In(run.dir, kLayoutsFile) + ": " + parsed.error + " The ROM was not written.");
        if (bytes->size() % zorp::kS2LayoutTileBytes != 0)
            return ZorptoolFail(In(run.dir, kLayoutsFile) + ": " + std::to_string(bytes->size()) +
                                " bytes are no whole number of 32-byte tiles; the ROM was not written");
        layouts = *bytes;
        ++read;
    }
    if (fs::exists(In(run.dir, kObjectsFile), ec)) {
        auto bytes = ReadPart(In(run.dir, kObjectsFile), zorp::kS2ObjectListRamLimit, status);
        if (!bytes)
            return status;
        const zorp::S2ObjectListsRead parsed = zorp::ReadS2ObjectLists(*bytes);
        if (!parsed.ok())
            return ZorptoolFail(In(run.dir, kObjectsFile) + ": " + parsed.error + " The ROM was not written.");
        objects = *bytes;
        ++read;
    }
    if (fs::exists(In(run.dir, kRingsFile), ec)) {
        auto bytes = ReadPart(In(run.dir, kRingsFile), 2 * zorp::kS2RingTableBytes, status);
        if (!bytes)
            return status;
        if (bytes->size() != 2 * zorp::kS2RingTableBytes)
            return ZorptoolFail(In(run.dir, kRingsFile) + ": must hold 56 bytes; the ROM was not written");
        team = zorp::ReadS2RingTable(zorp::Bytes(bytes->begin(), bytes->begin() + zorp::kS2RingTableBytes));
        alone = zorp::ReadS2RingTable(zorp::Bytes(bytes->begin() + zorp::kS2RingTableBytes, bytes->end()));
        ++read;
    }
    if (read == 0)
        return ZorptoolFail(run.dir + ": no " + kLayoutsFile + ", " + kObjectsFile + " or " + kRingsFile +
                            " found; the ROM was not written");

    zorp::FreeSpaceAllocator allocator(image);
    zorp::DeclareS2SpecialStages(setup, load, allocator);
    const zorp::S2Save save = zorp::PlanS2SpecialStagesSave(setup, load, layouts, objects, team, alone,
                                                            zorp::LinkedCodecCalls(), allocator, run.grow);
    if (save.error)
        return ZorptoolFail(run.romPath + ": " + RomMessageLine(*save.error));
    if (save.needsRoom)
        return ZorptoolFail(run.romPath + ": the changed special stages do not fit in the ROM or the free space its "
                                          "template names; --grow appends them to a larger image. The ROM was not "
                                          "written");
    const std::string parts = "read " + std::to_string(read) + (read == 1 ? " file" : " files");
    if (save.patches.empty()) {
        std::cout << parts << "; nothing changed, the ROM was not written\n";
        return 0;
    }
    if (!fits.fits)
        return ZorptoolFail(run.templatePath + ": the template does not fit this ROM: " + fits.detail +
                            " The ROM was not written.");
    zorp::SaveOptions options;
    options.fixChecksum = run.fixChecksum;
    options.expected = zorp::StampOf(image);
    options.growTo = allocator.ImageSize() > image.size() ? allocator.ImageSize() : 0;
    const zorp::SaveResult written = zorp::SavePatches(run.romPath, save.patches, options);
    if (!written.ok())
        return ZorptoolFail(run.romPath + ": " +
                            (written.outcome == zorp::SaveOutcome::Changed
                                 ? std::string("the file changed while it was being read")
                                 : written.error) +
                            "; the ROM was not written");
    std::cout << parts;
    for (const std::string& line : save.placements)
        std::cout << "; " << line;
    if (options.growTo)
        std::cout << "; the ROM grew to " << options.growTo << " bytes";
    std::cout << "\n";
    return 0;
}

int Pictures(const SonicTwoStagesRun& run, const zorp::S2SpecialStageLoad& load)
{
#ifdef ZORPTOOL_STAGE_PICTURES
    // The pictures are labelled, and text needs the fonts a GUI application
    // holds; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "zorptool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    std::error_code ec;
    fs::create_directories(run.dir, ec);
    if (!fs::is_directory(run.dir, ec))
        return ZorptoolFail(run.dir + ": cannot create the folder");
    for (size_t s = 0; s < zorp::kS2Stages; ++s) {
        const zorp::Bytes png =
            zorp::ui::EncodePng(zorp::ui::RenderS2StageImage(load.layouts.stages[s], load.objects.stages[s]));
        const std::string path = In(run.dir, "stage" + std::to_string(s + 1) + ".png");
        const std::string error = png.empty() ? std::string("the picture could not be encoded")
                                              : zorp::WriteFileBytes(path, png);
        if (!error.empty())
            return ZorptoolFail(path + ": " + error);
    }
    std::cout << "drew the 7 Sonic 2 special stages to " << run.dir << " (stage1.png to stage7.png)\n";
    return 0;
#else
    (void)load;
    return ZorptoolFail("this zorptool was built without Qt, so it cannot draw stages");
#endif
}

} // namespace

int RunSonicTwoStages(const SonicTwoStagesRun& run, RomAndTemplate& opened)
{
    const zorp::S2SpecialStageSetup* setup = LastSetup<zorp::S2SpecialStageSetup>(opened.result);
    const zorp::Bytes& image = opened.game.image;
    const zorp::S2SpecialStageLoad load =
        zorp::LoadS2SpecialStages(*setup, zorp::ImageSource(image), zorp::LinkedCodecCalls());
    if (!load.ok())
        return ZorptoolFail(run.romPath + ": " + RomMessageLine(*load.error));
    switch (run.mode) {
    case SonicTwoStagesRun::Mode::Export: return Export(run, load);
    case SonicTwoStagesRun::Mode::Pictures: return Pictures(run, load);
    case SonicTwoStagesRun::Mode::Import:
        return Import(run, *setup, load, image, zorp::CheckTemplateFit(opened.result.fit, image));
    }
    return 1;
}
