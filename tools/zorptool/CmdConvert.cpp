// zorptool convert: the ROM converter on the command line. Detects the input's
// layout (plain, SMD, SMD series, MGD), pads it to whole 16 KB blocks, prints
// the header report and writes the output as plain binary, SMD or MGD.
#include <iostream>
#include <optional>

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomFormat.h"

namespace {

int RunConvert(const std::vector<std::string>& args);

const ZorptoolCommand kConvert{"convert", "convert IN OUT --to bin|smd|mgd [--fix-checksum]",
                               "Converts a ROM (plain, SMD, SMD series or MGD) to plain binary, SMD or MGD, "
                               "padded to 16 KB blocks; --fix-checksum writes the actual header checksum.",
                               RunConvert};

int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kConvert.usage << ")\n";
    return 2;
}

struct Target {
    zorp::RomOutputFormat format;
    const char* name;
};

std::optional<Target> ParseTarget(const std::string& text)
{
    const std::string upper = zorp::UpperAscii(text);
    if (upper == "BIN")
        return Target{zorp::RomOutputFormat::Binary, "binary"};
    if (upper == "SMD")
        return Target{zorp::RomOutputFormat::Smd, "SMD"};
    if (upper == "MGD")
        return Target{zorp::RomOutputFormat::Mgd, "MGD"};
    return std::nullopt;
}

int RunConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> paths;
    std::optional<Target> target;
    bool fixChecksum = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (arg == "--to") {
            if (i + 1 == args.size())
                return UsageError("--to needs bin, smd or mgd");
            value = args[++i];
        } else if (arg.rfind("--to=", 0) == 0) {
            value = arg.substr(5);
        } else if (arg == "--fix-checksum") {
            fixChecksum = true;
            continue;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else {
            paths.push_back(arg);
            continue;
        }
        target = ParseTarget(value);
        if (!target)
            return UsageError("unknown output format '" + value + "' (bin, smd or mgd)");
    }
    if (paths.size() != 2)
        return UsageError("give one input and one output file");
    if (!target)
        return UsageError("--to bin|smd|mgd is required");
    const std::string& in = paths[0];
    const std::string& out = paths[1];

    zorp::RomFormatResult rom = zorp::DetectRomFormat(in);
    if (!rom.ok())
        return ZorptoolFail(in + ": " + RomMessageLine(*rom.error));
    if (!rom.recognised())
        return ZorptoolFail(in + ": Format: " + zorp::RomLayoutName(rom.layout, rom.is32X));

    const size_t originalSize = rom.image.size();
    zorp::PadRomImage(rom.image);
    std::cout << "Format: " << zorp::RomLayoutName(rom.layout, rom.is32X) << '\n';
    for (const std::string& line : zorp::HeaderReportLines(rom.image, originalSize))
        std::cout << line << '\n';

    const zorp::Bytes bytes = zorp::ConvertedRomBytes(rom.image, target->format, fixChecksum);
    const std::string error = zorp::WriteFileBytes(out, bytes);
    if (!error.empty())
        return ZorptoolFail(out + ": " + error);
    std::cout << "Converted to " << target->name << ": " << out << " (" << bytes.size() << " bytes"
              << (fixChecksum ? ", checksum validated" : "") << ")\n";
    return 0;
}

} // namespace
