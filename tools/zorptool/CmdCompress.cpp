// zorptool compress / decompress: every compression format of the games
// (Kosinski, Kosinski Moduled, Nemesis, Enigma) through the linked codec
// library, with the same calls the program makes through its plug-in.
#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "StreamFiles.h"
#include "codec/CodecCalls.h"
#include "linked/LinkedCodecs.h"

namespace {

int RunCompress(const std::vector<std::string>& args);
int RunDecompress(const std::vector<std::string>& args);

const ZorptoolCommand kCompress{
    "compress", "compress --format kosinski|kosm|nemesis|enigma [--exact] IN OUT",
    "Compresses IN into a stream of the format: the smallest stream the codec finds, or with --exact the "
    "stream the games' own encoder gives.",
    RunCompress};

const ZorptoolCommand kDecompress{
    "decompress", "decompress --format kosinski|kosm|nemesis|enigma IN OUT [--offset N]",
    "Decompresses the stream of the format that starts N bytes into IN (decimal or 0x hex, default 0) and "
    "says how many bytes the stream used.",
    RunDecompress};

struct FormatName {
    const char* word;
    zorp::CompressionFormat format;
};
constexpr std::array<FormatName, 4> kFormats{{{"kosinski", zorp::CompressionFormat::Kosinski},
                                              {"kosm", zorp::CompressionFormat::KosinskiModuled},
                                              {"nemesis", zorp::CompressionFormat::Nemesis},
                                              {"enigma", zorp::CompressionFormat::Enigma}}};

std::optional<zorp::CompressionFormat> ParseFormat(const std::string& word)
{
    for (const FormatName& f : kFormats)
        if (word == f.word)
            return f.format;
    return std::nullopt;
}

struct StreamArgs {
    std::optional<zorp::CompressionFormat> format;
    bool exact = false;
    std::optional<size_t> offset = 0;
    std::vector<std::string> paths;
};

// The words after the command; nullopt on a usage error. `withExact` and
// `withOffset` say which options the command takes.
std::optional<StreamArgs> ParseStreamArgs(const std::vector<std::string>& args, bool withExact, bool withOffset)
{
    StreamArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format") {
            if (i + 1 >= args.size() || !(parsed.format = ParseFormat(args[++i])))
                return std::nullopt;
        } else if (withExact && a == "--exact") {
            parsed.exact = true;
        } else if (withOffset && a == "--offset") {
            if (i + 1 >= args.size() || !(parsed.offset = ParseOffset(args[++i])))
                return std::nullopt;
        } else if (a.size() > 1 && a[0] == '-') {
            return std::nullopt;
        } else {
            parsed.paths.push_back(a);
        }
    }
    if (!parsed.format || parsed.paths.size() != 2)
        return std::nullopt;
    return parsed;
}

const zorp::FormatCalls& Calls(zorp::CompressionFormat format)
{
    static const zorp::CodecCalls calls = zorp::LinkedCodecCalls();
    return calls.For(format);
}

int RunCompress(const std::vector<std::string>& args)
{
    const std::optional<StreamArgs> parsed = ParseStreamArgs(args, true, false);
    if (!parsed)
        return ZorptoolUsage(kCompress);
    const zorp::FormatCalls& calls = Calls(*parsed->format);
    const std::string name = zorp::CompressionFormatName(*parsed->format);
    if (!calls.available())
        return ZorptoolFail("this build has no " + name + " codec");

    std::vector<uint8_t> input;
    std::string error;
    if (!ReadWholeFile(parsed->paths[0], kMaxPlainFile, input, error))
        return ZorptoolFail(error);
    const zorp::EncodedStream encoded = parsed->exact ? calls.packExact(input) : calls.packSmallest(input);
    if (!encoded.ok())
        return ZorptoolFail(parsed->paths[0] + ": " + encoded.error);
    if (!WriteWholeFile(parsed->paths[1], encoded.stream, error))
        return ZorptoolFail(error);
    std::cout << "compressed " << input.size() << " bytes into " << encoded.stream.size() << " bytes (" << name
              << ", " << (parsed->exact ? "the games' encoder" : "smallest stream") << ")\n";
    return 0;
}

int RunDecompress(const std::vector<std::string>& args)
{
    const std::optional<StreamArgs> parsed = ParseStreamArgs(args, false, true);
    if (!parsed)
        return ZorptoolUsage(kDecompress);
    const zorp::FormatCalls& calls = Calls(*parsed->format);
    const std::string name = zorp::CompressionFormatName(*parsed->format);
    if (!calls.available())
        return ZorptoolFail("this build has no " + name + " codec");

    std::vector<uint8_t> input;
    std::string error;
    const std::string& in = parsed->paths[0];
    if (!ReadWholeFile(in, kMaxStreamFile, input, error))
        return ZorptoolFail(error);
    const size_t offset = *parsed->offset;
    if (offset >= input.size())
        return ZorptoolFail(in + ": offset " + std::to_string(offset) + " lies past the end of the file (" +
                            std::to_string(input.size()) + " bytes)");
    const zorp::DecodedStream decoded = calls.decode(input, offset, zorp::kDefaultDecodeCap);
    if (!decoded.ok())
        return ZorptoolFail(in + " at offset " + std::to_string(offset) + ": " + decoded.error +
                            " (stopped after " + std::to_string(decoded.consumed) + " stream bytes and " +
                            std::to_string(decoded.data.size()) + " decoded bytes; nothing written)");
    if (!WriteWholeFile(parsed->paths[1], decoded.data, error))
        return ZorptoolFail(error);
    std::cout << "decompressed " << decoded.consumed << " bytes of " << name << " stream at offset " << offset
              << " into " << decoded.data.size() << " bytes\n";
    return 0;
}

} // namespace
