#include "S1Stages.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Command.h"
#include "RomMessageLine.h"
#include "linked/LinkedCodecs.h"
#include "rom/RomSave.h"
#include "template/S1StageBlock.h"

#ifdef ZORPTOOL_STAGE_PICTURES
#include "specialstage/S1StagePictures.h"
#include "specialstage/StageImage.h"
#endif

namespace fs = std::filesystem;

namespace {

// The stages, or the exit status after the error line.
int Load(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image,
         zorp::S1StagesLoad& load)
{
    load = zorp::LoadS1Stages(setup, image, zorp::LinkedCodecCalls());
    if (!load.ok())
        return ZorptoolFail(command.romPath + ": " + RomMessageLine(*load.error));
    for (const zorp::S1StageData& stage : load.stages)
        if (!stage.readable())
            std::cerr << "zorptool: warning: " << command.romPath << ": " << stage.error << "\n";
    return 0;
}

int MakeFolder(const std::string& dir)
{
    std::error_code ec;
    fs::create_directories(dir, ec);
    return fs::is_directory(dir, ec) ? 0 : ZorptoolFail(dir + ": cannot create the folder");
}

std::string In(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

// A file of exactly `size` bytes in DIR: nullopt when absent; fails (status)
// when present with another size or unreadable.
int ReadExact(const std::string& path, size_t size, std::optional<zorp::Bytes>& bytes)
{
    std::error_code ec;
    if (!fs::exists(path, ec))
        return 0;
    const auto actual = zorp::FileSize(path);
    if (!actual || *actual != size)
        return ZorptoolFail(path + ": must be exactly " + std::to_string(size) + " bytes; the ROM was not written");
    bytes = zorp::ReadFileBytes(path, size);
    return bytes ? 0 : ZorptoolFail(path + ": cannot read the file; the ROM was not written");
}

} // namespace

int ExportS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image)
{
    zorp::S1StagesLoad load;
    if (int status = Load(command, setup, image, load))
        return status;
    if (int status = MakeFolder(command.dir))
        return status;
    int written = 0;
    for (int k = 0; k < static_cast<int>(load.stages.size()); ++k) {
        const zorp::S1StageData& stage = load.stages[static_cast<size_t>(k)];
        if (!stage.readable())
            continue;
        std::vector<std::pair<std::string, zorp::Bytes>> files = {
            {zorp::S1LayoutFileName(k), zorp::Bytes(stage.cells.begin(), stage.cells.end())},
            {zorp::S1StreamFileName(k, setup.relocation.format), zorp::S1StreamBytes(load, image, k)}};
        if (load.startsEditable) {
            zorp::Bytes start(4);
            zorp::WriteS1Start(start, 0, stage.start);
            files.emplace_back(zorp::S1StartFileName(k), start);
        }
        for (const auto& [name, bytes] : files) {
            const std::string error = zorp::WriteFileBytes(In(command.dir, name), bytes);
            if (!error.empty())
                return ZorptoolFail(In(command.dir, name) + ": " + error);
        }
        ++written;
    }
    std::cout << "exported " << written << " Sonic 1 stages to " << command.dir << ": stage1.bin (4096-byte layout), "
              << zorp::S1StreamFileName(0, setup.relocation.format) << " (stream)"
              << (load.startsEditable ? ", start1.bin (start X, Y)" : "") << " and so on\n";
    return written == static_cast<int>(load.stages.size()) ? 0 : 1;
}

int ImportS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image,
                   const zorp::FitVerdict& fits)
{
    std::error_code ec;
    if (!fs::is_directory(command.dir, ec))
        return ZorptoolFail(command.dir + ": not a folder");
    zorp::S1StagesLoad load;
    if (int status = Load(command, setup, image, load))
        return status;

    std::vector<zorp::S1StageData> now = load.stages;
    int filesRead = 0;
    for (size_t k = 0; k < now.size(); ++k) {
        const int stage = static_cast<int>(k);
        std::optional<zorp::Bytes> layout;
        std::optional<zorp::Bytes> start;
        if (int status = ReadExact(In(command.dir, zorp::S1LayoutFileName(stage)), zorp::kS1Cells, layout))
            return status;
        if (int status = ReadExact(In(command.dir, zorp::S1StartFileName(stage)), 4, start))
            return status;
        if ((layout || start) && !load.stages[k].readable())
            return ZorptoolFail(command.romPath + ": " + load.stages[k].error + " The ROM was not written.");
        if (start && !load.startsEditable)
            return ZorptoolFail(In(command.dir, zorp::S1StartFileName(stage)) +
                                ": the template names no start table (STARTPOS); the ROM was not written");
        if (layout)
            std::copy(layout->begin(), layout->end(), now[k].cells.begin());
        if (start)
            now[k].start = zorp::ReadS1Start(*start, 0);
        filesRead += (layout ? 1 : 0) + (start ? 1 : 0);
    }
    if (filesRead == 0)
        return ZorptoolFail(command.dir + ": no stage files (stage1.bin, start1.bin, ...) found; the ROM was not written");

    zorp::FreeSpaceAllocator allocator(image, setup.relocation.filler);
    zorp::DeclareS1Streams(setup, load, allocator);
    const zorp::S1StagesSave plan =
        zorp::PlanS1StagesSave(setup, load, now, zorp::LinkedCodecCalls(), allocator, command.grow);
    const std::string read = "read " + std::to_string(filesRead) + (filesRead == 1 ? " file" : " files");
    if (plan.needsGrowth)
        return ZorptoolFail(command.romPath + ": the changed stages fit neither in place nor in the free space the "
                                              "template names; --grow lets the ROM grow; the ROM was not written");
    if (!plan.ok())
        return ZorptoolFail(command.romPath + ": " + RomMessageLine(*plan.error));
    if (plan.patches.empty()) {
        std::cout << read << "; no stage changed, the ROM was not written\n";
        return 0;
    }
    if (!fits.fits)
        return ZorptoolFail(command.templatePath + ": the template does not fit this ROM: " + fits.detail +
                            " The ROM was not written.");

    zorp::SaveOptions save;
    save.fixChecksum = command.fixChecksum;
    save.expected = zorp::StampOf(image);
    if (allocator.Grown()) {
        save.growTo = allocator.ImageSize();
        save.growFiller = allocator.Filler();
    }
    const zorp::SaveResult written = zorp::SavePatches(command.romPath, plan.patches, save);
    if (written.outcome == zorp::SaveOutcome::Changed)
        return ZorptoolFail(command.romPath + ": the file changed while it was being read; the ROM was not written");
    if (!written.ok())
        return ZorptoolFail(command.romPath + ": " + written.error + "; the ROM was not written");

    std::cout << read << "; wrote " << plan.placements.size() << " changed stage"
              << (plan.placements.size() == 1 ? "" : "s") << (plan.placements.empty() ? " (start positions only)" : "")
              << "\n";
    for (const std::string& line : zorp::DescribeS1Placements(plan.placements, image.size(), allocator.ImageSize()))
        std::cout << line << "\n";
    return 0;
}

int DrawS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image)
{
#ifdef ZORPTOOL_STAGE_PICTURES
    zorp::S1StagesLoad load;
    if (int status = Load(command, setup, image, load))
        return status;
    if (int status = MakeFolder(command.dir))
        return status;
    int drawn = 0;
    for (int k = 0; k < static_cast<int>(load.stages.size()); ++k) {
        const zorp::S1StageData& stage = load.stages[static_cast<size_t>(k)];
        if (!stage.readable())
            continue;
        const zorp::Bytes png = zorp::ui::EncodePng(zorp::ui::RenderS1StageImage(
            stage.cells, load.startsEditable ? std::optional(stage.start) : std::nullopt));
        const std::string path = In(command.dir, "stage" + std::to_string(k + 1) + ".png");
        const std::string error = png.empty() ? "the picture could not be encoded" : zorp::WriteFileBytes(path, png);
        if (!error.empty())
            return ZorptoolFail(path + ": " + error);
        ++drawn;
    }
    std::cout << "drew " << drawn << " Sonic 1 stages to " << command.dir << " (640 x 640 PNG each)\n";
    return drawn == static_cast<int>(load.stages.size()) ? 0 : 1;
#else
    return ZorptoolFail("this zorptool was built without Qt, so it cannot draw stages");
#endif
}
