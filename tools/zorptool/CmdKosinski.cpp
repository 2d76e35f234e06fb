// zorptool kosinski: compress a file into a Kosinski stream or decompress a
// stream found at an offset of a file (a ROM, say), through the codec library.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Command.h"
#include "rom/Bytes.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

namespace {

// Larger inputs are refused rather than read: a Genesis ROM is at most a few
// MiB and Kosinski data is far smaller.
constexpr uint64_t kMaxStreamFile = uint64_t{64} << 20;
constexpr uint64_t kMaxPlainFile = uint64_t{16} << 20;

int RunKosinski(const std::vector<std::string>& args);

const ZorptoolCommand kKosinski{
    "kosinski", "kosinski compress [--optimal] IN OUT | kosinski decompress IN OUT [--offset N]",
    "Compresses IN into a Kosinski stream (the fixed encoder, or the smallest stream with --optimal), or "
    "decompresses the stream that starts N bytes into IN (decimal or 0x hex, default 0).",
    RunKosinski};

// Through the core's bounded reader; the size is asked first so that the
// messages can tell a missing file from one that is too large.
bool ReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>& out, std::string& error)
{
    const auto size = zorp::FileSize(path);
    if (!size) {
        error = "cannot read " + path + ": no such file";
        return false;
    }
    if (*size > limit) {
        error = path + " is too large (" + std::to_string(*size) + " bytes, at most " + std::to_string(limit) + ")";
        return false;
    }
    auto bytes = zorp::ReadFileBytes(path, limit);
    if (!bytes) {
        error = "cannot read " + path;
        return false;
    }
    out = std::move(*bytes);
    return true;
}

// Through the shared writer: a failed write leaves OUT as it was.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error)
{
    const std::string reason = zorp::WriteFileBytes(path, data);
    if (reason.empty())
        return true;
    error = "cannot write " + path + ": " + reason;
    return false;
}

std::optional<size_t> ParseOffset(const std::string& text)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return std::nullopt;
    const bool hex = text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0);
    try {
        size_t used = 0;
        const unsigned long long value = std::stoull(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
        if (used != text.size() - (hex ? 2 : 0))
            return std::nullopt;
        return static_cast<size_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

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
