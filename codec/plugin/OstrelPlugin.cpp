#include "OstrelPlugin.h"

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>

#include "frmAbout.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "stage/S3SFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

// S3S files are a few hundred bytes plus an optional comment; anything larger
// is not read.
constexpr uintmax_t kMaxS3SFile = uintmax_t{1} << 20;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string ToString(const Bytes& b) { return std::string(b.begin(), b.end()); }

// A decoded stream is a success only when it reached its end marker and
// produced something; the caller then gets the whole output.
bool Decompress(const Bytes& in, Bytes& out)
{
    try {
        auto result = zorp::modVorlith_Extract::Decode(in);
        if (!result.Ok() || result.output.empty()) {
            out.clear();
            return false;
        }
        out = std::move(result.output);
        return true;
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
}

// Every byte decoded up to the end marker or the fault; true only for a
// complete stream with output.
bool DecompressPartial(const Bytes& in, Bytes& out, std::string* reason)
{
    try {
        auto result = zorp::modVorlith_Extract::Decode(in);
        out = std::move(result.output);
        if (result.Ok() && !out.empty())
            return true;
        if (reason)
            *reason = result.Ok() ? "The compressed data holds no bytes."
                                  : zorp::modVorlith_Extract::DescribeStatus(result.status);
        return false;
    } catch (const std::bad_alloc&) {
        out.clear();
        if (reason)
            *reason = "There is not enough memory to decompress the data.";
        return false;
    }
}

template <typename Encoder>
bool Compress(const Bytes& in, Bytes& out, Encoder encode)
{
    try {
        out = encode(in);
        return true;
    } catch (const std::exception&) { // input too large, out of memory
        out.clear();
        return false;
    }
}

bool ReadSmallFile(const std::string& path, Bytes& out)
{
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxS3SFile)
        return false;
    std::ifstream f(path, std::ios::binary);
    out.resize(static_cast<size_t>(size));
    return f && f.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

} // namespace

bool OstrelPlugin::DecompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    return Decompress(InByte, OutByte);
}

bool OstrelPlugin::DecompressKosinski_String(const std::string& InString, std::string& OutString)
{
    Bytes out;
    const bool ok = Decompress(ToBytes(InString), out);
    OutString = ToString(out);
    return ok;
}

bool OstrelPlugin::CompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    return Compress(InByte, OutByte, [](const Bytes& in) { return zorp::modVorlith_Pack::Pack(in); });
}

bool OstrelPlugin::CompressKosinski_String(const std::string& InString, std::string& OutString)
{
    Bytes out;
    const bool ok = CompressKosinski_Byte(ToBytes(InString), out);
    OutString = ToString(out);
    return ok;
}

bool OstrelPlugin::CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    return Compress(InByte, OutByte, [](const Bytes& in) { return zorp::PackSmallest(in); });
}

bool OstrelPlugin::DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte,
                                                  std::vector<uint8_t>& OutByte, std::string* Reason)
{
    return DecompressPartial(InByte, OutByte, Reason);
}

bool OstrelPlugin::OstrelPresent() { return true; }

bool OstrelPlugin::LoadS3S_Byte(const std::string& S3SFile, std::vector<uint8_t>& ReturnStage, int32_t* StartingRow,
                                int32_t* StartingCol, S3S_StartDirection* StartingDirection, int32_t* PerfectRings,
                                std::string* ReturnComment, int32_t* S3SVersion)
{
    Bytes file;
    if (!ReadSmallFile(S3SFile, file))
        return true;
    const int32_t kind = zorp::S3SFileKind(file);
    // A file that carries a signature but is shorter than its format is not
    // loaded: its cells and start data would be made up.
    zorp::S3SStage stage;
    if (kind == zorp::kS3SKindV1 && file.size() >= static_cast<size_t>(zorp::kS3SV1Size))
        stage = zorp::LoadV1SS(file);
    else if (kind == zorp::kS3SKindV2 && file.size() >= static_cast<size_t>(zorp::kS3SV2Size))
        stage = zorp::LoadV2SS(file);
    else
        return true;

    ReturnStage.assign(stage.cells.begin(), stage.cells.end());
    if (StartingDirection)
        *StartingDirection = static_cast<S3S_StartDirection>(stage.trailer.direction); // as stored
    if (StartingRow)
        *StartingRow = stage.trailer.row;
    if (StartingCol)
        *StartingCol = stage.trailer.column;
    if (PerfectRings)
        *PerfectRings = stage.trailer.rings;
    // Any bytes after the version 2.00 layout are a comment, even an empty
    // one (a file whose byte 416 is 0xFF).
    if (ReturnComment && kind == zorp::kS3SKindV2 && file.size() > static_cast<size_t>(zorp::kS3SV2Size))
        *ReturnComment = stage.comment.value_or(std::string());
    if (S3SVersion)
        *S3SVersion = kind;
    return false;
}

void OstrelPlugin::AboutOstrel()
{
    // A caller without a widget application (a batch tool) has no screen to
    // show the window on.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    frmAbout about(QApplication::activeWindow());
    about.exec();
}
