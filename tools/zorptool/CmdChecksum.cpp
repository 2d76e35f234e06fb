// zorptool checksum: the stored and the actual header checksum of a Genesis
// image (SMD and MGD files read as the plain image they hold), and with --fix
// the actual one written into a plain binary file. Master System, Game Gear
// and Game Boy Advance images have no Genesis header checksum: the command
// says so (showing a Master System header's own checksum) and never writes
// into them, where 0x18E is game code.
#include <cstdio>
#include <iostream>

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/RomSave.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "rom/RomFormat.h"
#include "rom/SmsHeader.h"
#include "template/OpenGame.h"

namespace {

int RunChecksum(const std::vector<std::string>& args);

const ZorptoolCommand kChecksum{"checksum", "checksum ROM [--fix | --fix-checksum]",
                                "Prints the stored and the actual header checksum of a Genesis ROM; --fix (or "
                                "--fix-checksum) writes the actual checksum into the file (0x18E). Other images "
                                "have no Genesis header checksum and are never written.",
                                RunChecksum};

int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kChecksum.usage << ")\n";
    return 2;
}

std::string HexWord(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return zorp::PadLeftZeros(text, 4);
}

// A file that is no Genesis image: what it has instead, and never a write.
int OtherKind(const std::string& path, zorp::RomKind kind, bool fix)
{
    const char* what = kind == zorp::RomKind::MasterSystem     ? "a Master System or Game Gear image"
                       : kind == zorp::RomKind::GameBoyAdvance ? "a Game Boy Advance image"
                                                               : "a special stage file";
    if (fix)
        return ZorptoolFail(path + ": " + what + " has no Genesis header checksum; --fix writes only that "
                            "(at 0x18E), so nothing was written");
    std::cout << "No Genesis header checksum: " << path << " is " << what << ".\n";
    if (kind != zorp::RomKind::MasterSystem)
        return 0;
    const auto image = zorp::ReadFileBytes(path, zorp::kMaxRomFileSize);
    if (!image)
        return ZorptoolFail(path + ": cannot read the file");
    const zorp::SmsHeaderChecksum sms = zorp::SmsChecksumOf(*image);
    if (!sms.present) {
        std::cout << "No Master System header checksum either (no \"TMR SEGA\" header at 0x7FF0 with a size this "
                     "image covers).\n";
        return 0;
    }
    std::cout << "Master System header checksum (0x7FFA, over " << (sms.summedSize >> 10)
              << " KiB): 0x" << HexWord(sms.stored) << ", Actual Checksum: 0x" << HexWord(sms.actual) << '\n';
    return 0;
}

int RunChecksum(const std::vector<std::string>& args)
{
    std::string path;
    bool fix = false;
    for (const std::string& arg : args) {
        if (arg == "--fix" || arg == "--fix-checksum")
            fix = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return UsageError("unknown option " + arg);
        else if (path.empty())
            path = arg;
        else
            return UsageError("one ROM file only");
    }
    if (path.empty())
        return UsageError("no ROM file given");

    auto size = zorp::FileSize(path);
    if (!size)
        return ZorptoolFail(path + ": cannot open the file");
    if (*size > zorp::kMaxRomFileSize)
        return ZorptoolFail(path + ": larger than 64 MB, not a cartridge image");
    const zorp::RomKind kind = zorp::OpenedKindOfPath(path);
    if (kind == zorp::RomKind::MasterSystem || kind == zorp::RomKind::GameBoyAdvance ||
        kind == zorp::RomKind::SpecialStage)
        return OtherKind(path, kind, fix);
    // The file is read once; an SMD or MGD file is read as the plain image it
    // holds, whose header carries the checksum.
    zorp::RomFormatResult format = zorp::DetectRomFormat(path);
    if (!format.ok())
        return ZorptoolFail(path + ": " + RomMessageLine(*format.error));
    const bool interleaved = format.recognised() && format.layout != zorp::kLayoutPlain;
    std::optional<zorp::Bytes> image;
    if (format.recognised())
        image = std::move(format.image);
    else
        image = zorp::ReadFileBytes(path, zorp::kMaxRomFileSize); // no console name: read it as it is
    if (!image)
        return ZorptoolFail(path + ": cannot read the file");
    const zorp::HeaderChecksum checksum = zorp::HeaderChecksumOf(*image);
    if (!checksum.present)
        return ZorptoolFail(path + ": too short to hold a cartridge header");

    std::cout << "Checksum: 0x" << HexWord(checksum.stored) << ", Actual Checksum: 0x" << HexWord(checksum.actual)
              << '\n';
    if (!fix)
        return 0;
    // 0x18E is a plain-image offset: writing there would damage an
    // interleaved file.
    if (interleaved)
        return ZorptoolFail(path + ": an interleaved (SMD or MGD) image; convert it to binary first");
    if (checksum.matches()) {
        std::cout << "The stored checksum is already right; the file is unchanged.\n";
        return 0;
    }
    zorp::SaveOptions options;
    options.fixChecksum = true;
    options.expected = zorp::StampOf(*image);
    const zorp::SaveResult saved = zorp::SavePatches(path, {}, options);
    if (saved.outcome == zorp::SaveOutcome::Changed)
        return ZorptoolFail(path + ": the file changed while it was being read; nothing was written");
    if (!saved.ok())
        return ZorptoolFail(path + ": " + saved.error);
    std::cout << "Wrote checksum 0x" << HexWord(checksum.actual) << " at 0x18E.\n";
    return 0;
}

} // namespace
