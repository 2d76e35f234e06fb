// zorptool kosinski: compress a file into a Kosinski stream or decompress a
// stream found at an offset of a file (a ROM, say), through the codec library.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Command.h"
#include "StreamFiles.h"
#include "rom/Bytes.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

namespace {

int RunKosinski(const std::vector<std::string>& args);

const ZorptoolCommand kKosinski{
    "kosinski", "kosinski compress [--optimal] IN OUT | kosinski decompress IN OUT [--offset N]",
    "Compresses IN into a Kosinski stream (the fixed encoder, or the smallest stream with --optimal), or "
    "decompresses the stream that starts N bytes into IN (decimal or 0x hex, default 0).",
    RunKosinski};

int Compress(const std::vector<std::string>& args)
{
    bool optimal = false;
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--optimal")
            optimal = true;
        else if (args[i].size() > 1 && args[i][0] == '-')
            return ZorptoolUsage(kKosinski);
        else
            paths.push_back(args[i]);
    }
    if (paths.size() != 2)
        return ZorptoolUsage(kKosinski);

    std::vector<uint8_t> input;
    std::string error;
    if (!ReadWholeFile(paths[0], kMaxPlainFile, input, error))
        return ZorptoolFail(error);
    const std::vector<uint8_t> stream = optimal ? zorp::PackSmallest(input) : zorp::modVorlith_Pack::Pack(input);
    if (!WriteWholeFile(paths[1], stream, error))
        return ZorptoolFail(error);
    std::cout << "compressed " << input.size() << " bytes into " << stream.size() << " bytes"
              << (optimal ? " (smallest stream)" : "") << "\n";
    return 0;
}

int Decompress(const std::vector<std::string>& args)
{
    std::optional<size_t> offset = 0;
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--offset") {
            if (i + 1 >= args.size() || !(offset = ParseOffset(args[++i])))
                return ZorptoolUsage(kKosinski);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return ZorptoolUsage(kKosinski);
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 2)
        return ZorptoolUsage(kKosinski);

    std::vector<uint8_t> input;
    std::string error;
    if (!ReadWholeFile(paths[0], kMaxStreamFile, input, error))
        return ZorptoolFail(error);
    const auto result = zorp::modVorlith_Extract::Decode(input, *offset);
    if (!result.Ok())
        return ZorptoolFail(paths[0] + " at offset " + std::to_string(*offset) + ": " +
                            zorp::modVorlith_Extract::DescribeStatus(result.status));
    if (!WriteWholeFile(paths[1], result.output, error))
        return ZorptoolFail(error);
    std::cout << "decompressed " << result.consumed << " bytes of stream into " << result.output.size()
              << " bytes\n";
    return 0;
}

int RunKosinski(const std::vector<std::string>& args)
{
    if (args.empty())
        return ZorptoolUsage(kKosinski);
    if (args[0] == "compress")
        return Compress(args);
    if (args[0] == "decompress")
        return Decompress(args);
    return ZorptoolUsage(kKosinski);
}

} // namespace
