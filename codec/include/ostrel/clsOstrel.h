#pragma once
// clsOstrel: the public class of the codec library "ostrel". The library is a
// Qt plug-in (libostrel.so in the codec folder that rom/Locations.h names)
// that implements this interface; the program finds it at start-up and works
// on without it.
//
// This header stands alone: it needs the C++ standard library and QtCore, and
// nothing of the program that loads the plug-in.
//
// Byte arrays are owned by the caller; a call only resizes and fills its
// output. The codec calls return true on success. A bad stream, or a result of
// zero bytes, is a failed call (false) and leaves the output empty unless the
// call says otherwise; nothing throws across this boundary.
//
// Versions. Every published version of the interface keeps its own class and
// interface id, each deriving from the one before and appending its methods,
// so the order of the virtual functions never changes. A plug-in declares
// every id it implements; the program asks for the newest it knows first and
// falls back to older ones, using only what the plug-in offers.
#include <cstdint>
#include <string>
#include <vector>

#include <QtPlugin>

namespace ostrel {

// Facing direction of the player at the start of a special stage, as S3S
// files store it. The program keeps its own type and converts.
enum S3S_StartDirection : short {
    S3S_Up = 1,
    S3S_Down = 2,
    S3S_Left = 3,
    S3S_Right = 4,
};

// The compression formats of the generic calls (interface 0.0.4).
enum Format : int32_t {
    Kosinski = 0,
    KosinskiModuled = 1,
    Nemesis = 2,
    Enigma = 3,
};

// Which encoder a generic compression call runs.
enum Encoder : int32_t {
    Smallest = 0, // the smallest stream the library finds
    Exact = 1,    // the stream the games' own encoder gives
};

} // namespace ostrel

// Interface 0.0.2: Kosinski, the S3S loader, the about window.
#define OSTREL_IID_0_0_2 "org.zorp2.clsOstrel/0.0.2"
class clsOstrel_v002 {
public:
    virtual ~clsOstrel_v002() = default;

    // OutByte becomes the data decompressed from the Kosinski stream that
    // starts at InByte[0]; bytes after the stream's end are ignored.
    virtual bool DecompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) = 0;
    // The same with bytes carried one per character.
    virtual bool DecompressKosinski_String(const std::string& InString, std::string& OutString) = 0;

    // Loads a version 1.00 or 2.00 S3S file into ReturnStage (1024 cells) and
    // the optional outputs. Returns true when the file is NOT a complete
    // version 1.00 or 2.00 file (or cannot be read); nothing is filled in then.
    // ReturnComment is only set for a version 2.00 file that carries one.
    virtual bool LoadS3S_Byte(const std::string& S3SFile, std::vector<uint8_t>& ReturnStage,
                              int32_t* StartingRow = nullptr, int32_t* StartingCol = nullptr,
                              ostrel::S3S_StartDirection* StartingDirection = nullptr, int32_t* PerfectRings = nullptr,
                              std::string* ReturnComment = nullptr, int32_t* S3SVersion = nullptr) = 0;

    // Shows the library's about window modally.
    virtual void AboutOstrel() = 0;

    // OutByte becomes the Kosinski stream of InByte, byte for byte the one the
    // fixed encoder gives (the sizes ROM layouts were made for).
    virtual bool CompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) = 0;
    virtual bool CompressKosinski_String(const std::string& InString, std::string& OutString) = 0;

    // Always true: lets a caller check that the library was loaded.
    virtual bool OstrelPresent() = 0;

    // OutByte becomes the smallest Kosinski stream of InByte that the library
    // can find (an optimal parse); it decodes to the same data but its bytes
    // differ from CompressKosinski_Byte's.
    virtual bool CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) = 0;
};

// Interface 0.0.3: a Kosinski decoder that keeps what it decoded before a fault.
#define OSTREL_IID_0_0_3 "org.zorp2.clsOstrel/0.0.3"
class clsOstrel_v003 : public clsOstrel_v002 {
public:
    // Like DecompressKosinski_Byte, but a stream that ends early or is damaged
    // still leaves in OutByte every byte decoded before the fault: those are
    // the data that could be recovered. Returns true only for a complete
    // stream that produced something; on false, Reason (when given) gets a
    // sentence saying what went wrong.
    virtual bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte,
                                                std::string* Reason = nullptr) = 0;
};

// Interface 0.0.4 (the current one): every format the games use, through two
// generic calls that take the format as a number.
#define OSTREL_IID_0_0_4 "org.zorp2.clsOstrel/0.0.4"
#define OSTREL_IID OSTREL_IID_0_0_4
class clsOstrel : public clsOstrel_v003 {
public:
    // True when this library decodes and encodes Format (an ostrel::Format).
    virtual bool OffersFormat(int32_t Format) = 0;

    // OutByte becomes the data of the Format stream that starts Start bytes
    // into InByte; Consumed (when given) the stream bytes read from Start on.
    // A damaged stream leaves in OutByte what was decoded before the fault,
    // returns false and puts a sentence for the user in Reason (when given).
    // More than OutputCap bytes of output is a failure.
    virtual bool Decompress_Byte(int32_t Format, const std::vector<uint8_t>& InByte, uint64_t Start,
                                 uint64_t OutputCap, std::vector<uint8_t>& OutByte, uint64_t* Consumed = nullptr,
                                 std::string* Reason = nullptr) = 0;

    // OutByte becomes the Format stream of InByte made by Encoder (an
    // ostrel::Encoder). Data the format cannot hold (a Nemesis size that is
    // not whole tiles, say) is a failure with the sentence in Reason.
    virtual bool Compress_Byte(int32_t Format, int32_t Encoder, const std::vector<uint8_t>& InByte,
                               std::vector<uint8_t>& OutByte, std::string* Reason = nullptr) = 0;
};

Q_DECLARE_INTERFACE(clsOstrel_v002, OSTREL_IID_0_0_2)
Q_DECLARE_INTERFACE(clsOstrel_v003, OSTREL_IID_0_0_3)
Q_DECLARE_INTERFACE(clsOstrel, OSTREL_IID_0_0_4)
