// zorptool s3s: look into S3S special stage files and convert between their
// versions, through the same readers and writers as the stage editor.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

#include "Command.h"
#include "rom/Bytes.h"
#include "stage/S3SFile.h"
#include "stage/StageCounts.h"

namespace {

int RunS3S(const std::vector<std::string>& args);

const ZorptoolCommand kS3S{"s3s", "s3s info FILE | convert IN OUT --version 1|2 [--stage K]",
                           "Shows an S3S file (stage, start data, comment, or a compilation's index) or "
                           "converts it to version 1.00 or 2.00 (--stage K picks a compilation's stage, from 0).",
                           RunS3S};

// S3S/C files of 65535 format-1 stages stay well below this.
constexpr uint64_t kMaxS3SFileSize = 64ull << 20;

std::optional<int> ParseNumber(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// A usage problem as one line: what is wrong, then the usage.
int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kS3S.usage << ")\n";
    return 2;
}

const char* KindName(int32_t kind)
{
    switch (kind) {
    case zorp::kS3SKindV1:
        return "S3S version 1.00";
    case zorp::kS3SKindV2:
        return "S3S version 2.00";
    case zorp::kS3SKindCompilation:
        return "S3S/C compilation";
    default:
        return "unknown";
    }
}

const char* DirectionName(int direction)
{
    switch (direction) {
    case S3S_Up:
        return "Up";
    case S3S_Down:
        return "Down";
    case S3S_Left:
        return "Left";
    case S3S_Right:
        return "Right";
    default:
        return "not set";
    }
}

// Texts from the file are bytes; control characters are shown escaped so
// they cannot upset the terminal, every other byte is printed as it is.
std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<zorp::Bytes> ReadS3S(const std::string& path, std::string& error)
{
    auto size = zorp::FileSize(path);
    if (!size) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    if (*size > kMaxS3SFileSize) {
        error = path + " is too large to be an S3S file";
        return std::nullopt;
    }
    auto data = zorp::ReadFileBytes(path, kMaxS3SFileSize);
    if (!data)
        error = "cannot read " + path;
    return data;
}

void PrintStage(std::ostream& out, const zorp::StageGrid& cells, const zorp::StartData& start,
                const zorp::S3STrailer& stored)
{
    out << "start direction: " << DirectionName(start.Direction) << " (stored " << int(stored.direction) << ")\n"
        << "start row: " << start.Row << "\n"
        << "start column: " << start.Column << "\n"
        << "perfect rings: " << start.Rings;
    if (start.Rings != stored.rings)
        out << " (stored " << stored.rings << ")";
    out << "\n";
    const zorp::StageCounts counts = zorp::CountStageObjects(cells);
    out << "cells: empty " << counts.empty << ", red " << counts.red << ", blue " << counts.blue << ", star "
        << counts.stars << ", ring " << counts.rings << ", yellow " << counts.yellow << ", other " << counts.other
        << "\n";
    if (!counts.finishable())
        out << "warning: no blue sphere, the stage can never be finished\n";
}

int Info(const std::string& path)
{
    std::string error;
    auto file = ReadS3S(path, error);
    if (!file)
        return ZorptoolFail(error);
    const int32_t kind = zorp::S3SFileKind(*file);
    if (kind == zorp::kS3SKindUnknown)
        return ZorptoolFail(path + " is not an S3S file");

    // Collected first, so a damaged file prints nothing but the error line.
    std::ostringstream out;
    out << "kind: " << KindName(kind) << "\n"
        << "size: " << file->size() << " bytes\n";

    if (kind == zorp::kS3SKindCompilation) {
        zorp::S3SCIndex index;
        if (!zorp::ReadS3SCIndex(*file, index, error))
            return ZorptoolFail(path + ": " + error);
        out << "stage format: " << int(index.format) << "\n"
            << "data offset: " << index.dataOffset << "\n"
            << "stages: " << index.entries.size() << "\n";
        for (size_t k = 0; k < index.entries.size(); ++k) {
            const zorp::S3SCEntry& entry = index.entries[k];
            out << "stage " << k << ": " << Printable(entry.name);
            uint64_t offset = 0;
            if (!zorp::S3SCStageOffset(index, static_cast<int>(k), offset) || offset >= file->size())
                out << " [not loadable]";
            out << "\n";
            if (!entry.description.empty())
                out << "  " << Printable(entry.description) << "\n";
        }
        std::cout << out.str();
        return 0;
    }

    const zorp::S3SStage stage = kind == zorp::kS3SKindV1 ? zorp::LoadV1SS(*file) : zorp::LoadV2SS(*file);
    zorp::StartData start;
    zorp::ApplyTrailer(stage.trailer, start);
    PrintStage(out, stage.cells, start, stage.trailer);
    if (kind == zorp::kS3SKindV2)
        out << "comment: " << (stage.comment ? Printable(*stage.comment) : std::string("none")) << "\n";
    std::cout << out.str();
    return 0;
}

struct ConvertOptions {
    std::string in;
    std::string out;
    int version = 0;
    std::optional<int> stage;
};

// Positional IN OUT plus --version and --stage in any order.
std::optional<ConvertOptions> ParseConvert(const std::vector<std::string>& args, std::string& problem)
{
    ConvertOptions options;
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version" || a == "--stage") {
            if (i + 1 >= args.size()) {
                problem = a + " needs a value";
                return std::nullopt;
            }
            auto value = ParseNumber(args[++i]);
            if (a == "--version") {
                if (!value || (*value != 1 && *value != 2)) {
                    problem = "--version must be 1 or 2";
                    return std::nullopt;
                }
                options.version = *value;
            } else {
                if (!value || *value < 0) {
                    problem = "--stage must be a stage number from 0";
                    return std::nullopt;
                }
                options.stage = *value;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            problem = "unknown option " + a;
            return std::nullopt;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) {
        problem = "convert needs IN and OUT";
        return std::nullopt;
    }
    if (options.version == 0) {
        problem = "convert needs --version 1 or --version 2";
        return std::nullopt;
    }
    options.in = positional[0];
    options.out = positional[1];
    return options;
}

int Convert(const ConvertOptions& options)
{
    std::string error;
    auto file = ReadS3S(options.in, error);
    if (!file)
        return ZorptoolFail(error);
    const int32_t kind = zorp::S3SFileKind(*file);
    if (kind == zorp::kS3SKindUnknown)
        return ZorptoolFail(options.in + " is not an S3S file");

    zorp::StageGrid cells{};
    zorp::StartData start;
    if (kind == zorp::kS3SKindCompilation) {
        if (!options.stage)
            return UsageError(options.in + " is an S3S/C compilation; choose a stage with --stage K");
        zorp::S3SCIndex index;
        zorp::S3SStage stage;
        if (!zorp::ReadS3SCIndex(*file, index, error) ||
            !zorp::LoadS3SCStage(*file, index, *options.stage, stage, error))
            return ZorptoolFail(options.in + ": " + error);
        cells = stage.cells;
        zorp::ApplyCompilationTrailer(stage.trailer, start);
    } else {
        if (options.stage)
            return UsageError("--stage applies only to S3S/C compilations");
        const zorp::S3SStage stage = kind == zorp::kS3SKindV1 ? zorp::LoadV1SS(*file) : zorp::LoadV2SS(*file);
        cells = stage.cells;
        zorp::ApplyTrailer(stage.trailer, start);
    }

    // The writers would mask codes that do not fit; refuse rather than lose them.
    const int limit = options.version == 1 ? 16 : 8;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] >= limit) {
            std::ostringstream msg;
            msg << "cell " << i << " holds code " << int(cells[i]) << ", which S3S version "
                << options.version << ".00 cannot store";
            return ZorptoolFail(msg.str());
        }
    }

    const zorp::S3STrailer trailer = zorp::TrailerFromStart(start);
    const zorp::Bytes out = options.version == 1 ? zorp::SaveV1SS(cells, trailer) : zorp::SaveV2SS(cells, trailer);
    const std::string writeError = zorp::WriteFileBytes(options.out, out);
    if (!writeError.empty())
        return ZorptoolFail("cannot write " + options.out + ": " + writeError);
    const int32_t outKind = options.version == 1 ? zorp::kS3SKindV1 : zorp::kS3SKindV2;
    std::cout << "wrote " << options.out << " (" << KindName(outKind) << ", " << out.size() << " bytes)\n";
    return 0;
}

int RunS3S(const std::vector<std::string>& args)
{
    if (args.empty())
        return ZorptoolUsage(kS3S);
    if (args[0] == "info") {
        if (args.size() != 2)
            return ZorptoolUsage(kS3S);
        return Info(args[1]);
    }
    if (args[0] == "convert") {
        std::string problem;
        auto options = ParseConvert(args, problem);
        if (!options)
            return UsageError(problem);
        return Convert(*options);
    }
    return ZorptoolUsage(kS3S);
}

} // namespace
