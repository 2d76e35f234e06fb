// zorptool checksum: the stored and the actual header checksum of a plain
// binary image, and with --fix the actual one written into the file.
#include <cstdio>
#include <iostream>

#include "Command.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomFormat.h"

namespace {

int RunChecksum(const std::vector<std::string>& args);

const ZorptoolCommand kChecksum{"checksum", "checksum ROM [--fix | --fix-checksum]",
                                "Prints the stored and the actual header checksum of a plain binary ROM; "
                                "--fix (or --fix-checksum) writes the actual checksum into the file (0x18E).",
                                RunChecksum};

constexpr uint64_t kChecksumOffset = 0x18E;

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
    auto image = zorp::ReadFileBytes(path, zorp::kMaxRomFileSize);
    if (!image)
        return ZorptoolFail(path + ": cannot read the file");
    if (image->size() < kChecksumOffset + 2)
        return ZorptoolFail(path + ": too short to hold a cartridge header");
    // The checksum lives at 0x18E of the plain image only; an interleaved file
    // would be damaged by writing there.
    if (zorp::IsSmdHeader(*image) || zorp::DetectRomFormat(path).layout == zorp::kLayoutMgd)
        return ZorptoolFail(path + ": an interleaved (SMD or MGD) image; convert it to binary first");

    const uint16_t stored = zorp::StoredChecksum(*image);
    const uint16_t actual = zorp::GenesisChecksum(*image);
    std::cout << "Checksum: 0x" << HexWord(stored) << ", Actual Checksum: 0x" << HexWord(actual) << '\n';
    if (!fix)
        return 0;
    if (stored == actual) {
        std::cout << "The stored checksum is already right; the file is unchanged.\n";
        return 0;
    }
    const zorp::Bytes word{static_cast<uint8_t>(actual >> 8), static_cast<uint8_t>(actual & 0xFF)};
    const std::string error = zorp::WriteBytesAt(path, kChecksumOffset, word);
    if (!error.empty())
        return ZorptoolFail(path + ": " + error);
    std::cout << "Wrote checksum 0x" << HexWord(actual) << " at 0x18E.\n";
    return 0;
}

} // namespace
