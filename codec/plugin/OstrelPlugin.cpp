#include "OstrelPlugin.h"

#include <QApplication>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>

#include "frmAbout.h"
#include "kosinski/SmallestPack.h"
#include "linked/LinkedCodecs.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "stage/S3SFile.h"
#include "stage/StartDirection.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The interface publishes its own direction type; the stage files store the
// program's. They carry the same numbers, which is what the cast in
// LoadS3S_Byte relies on.
static_assert(int(ostrel::S3S_Up) == int(S3S_Up) && int(ostrel::S3S_Down) == int(S3S_Down) &&
              int(ostrel::S3S_Left) == int(S3S_Left) && int(ostrel::S3S_Right) == int(S3S_Right));

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

namespace {

// The formats as the linked libraries offer them; built once, never changed.
const zorp::FormatCalls* CallsFor(int32_t format)
{
    static const zorp::CodecCalls calls = zorp::LinkedCodecCalls();
    const zorp::FormatCalls* found = nullptr;
    switch (format) {
    case ostrel::Kosinski: found = &calls.kosinski; break;
    case ostrel::KosinskiModuled: found = &calls.kosinskiModuled; break;
    case ostrel::Nemesis: found = &calls.nemesis; break;
    case ostrel::Enigma: found = &calls.enigma; break;
    default: return nullptr;
    }
    return found->available() ? found : nullptr;
}

void SetReason(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
}

std::string UnknownFormat(int32_t format)
{
    return "This codec library does not know the compression format number " + std::to_string(format) + ".";
}

} // namespace

bool OstrelPlugin::OffersFormat(int32_t Format) { return CallsFor(Format) != nullptr; }

bool OstrelPlugin::Decompress_Byte(int32_t Format, const std::vector<uint8_t>& InByte, uint64_t Start,
                                   uint64_t OutputCap, std::vector<uint8_t>& OutByte, uint64_t* Consumed,
                                   std::string* Reason)
{
    OutByte.clear();
    if (Consumed)
        *Consumed = 0;
    const zorp::FormatCalls* calls = CallsFor(Format);
    if (!calls) {
        SetReason(Reason, UnknownFormat(Format));
        return false;
    }
    const size_t cap = static_cast<size_t>(std::min<uint64_t>(OutputCap, SIZE_MAX));
    zorp::DecodedStream decoded = calls->decode(InByte, static_cast<size_t>(std::min<uint64_t>(Start, SIZE_MAX)), cap);
    OutByte = std::move(decoded.data);
    if (Consumed)
        *Consumed = decoded.consumed;
    if (!decoded.ok()) {
        SetReason(Reason, decoded.error);
        return false;
    }
    if (OutByte.empty()) {
        SetReason(Reason, "The compressed data holds no bytes.");
        return false;
    }
    return true;
}

bool OstrelPlugin::Compress_Byte(int32_t Format, int32_t Encoder, const std::vector<uint8_t>& InByte,
                                 std::vector<uint8_t>& OutByte, std::string* Reason)
{
    OutByte.clear();
    const zorp::FormatCalls* calls = CallsFor(Format);
    if (!calls) {
        SetReason(Reason, UnknownFormat(Format));
        return false;
    }
    if (Encoder != ostrel::Smallest && Encoder != ostrel::Exact) {
        SetReason(Reason, "This codec library does not know the encoder number " + std::to_string(Encoder) + ".");
        return false;
    }
    zorp::EncodedStream encoded = Encoder == ostrel::Exact ? calls->packExact(InByte) : calls->packSmallest(InByte);
    if (!encoded.ok()) {
        SetReason(Reason, encoded.error);
        return false;
    }
    OutByte = std::move(encoded.stream);
    return true;
}

bool OstrelPlugin::LoadS3S_Byte(const std::string& S3SFile, std::vector<uint8_t>& ReturnStage, int32_t* StartingRow,
                                int32_t* StartingCol, ostrel::S3S_StartDirection* StartingDirection,
                                int32_t* PerfectRings, std::string* ReturnComment, int32_t* S3SVersion)
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
        *StartingDirection = static_cast<ostrel::S3S_StartDirection>(stage.trailer.direction); // as stored
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
