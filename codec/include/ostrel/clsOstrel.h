#pragma once
// clsOstrel: the public class of the codec library "ostrel". The library is a
// Qt plug-in (libostrel.so in the codec folder that rom/Locations.h names)
// that implements this interface; the program finds it at start-up and works
// on without it.
//
// Byte arrays are owned by the caller; a call only resizes and fills its
// output. The codec calls return true on success. A bad stream, or a result of
// zero bytes, is a failed call (false) and leaves the output empty; nothing
// throws across this boundary.
#include <cstdint>
#include <string>
#include <vector>

#include <QtPlugin>

#include "stage/StartDirection.h"

// The IID carries the interface version: a plug-in built against another
// version of this class is refused by the loader instead of being called.
#define OSTREL_IID "org.zorp2.clsOstrel/0.0.3"

class clsOstrel {
public:
    virtual ~clsOstrel() = default;

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
                              S3S_StartDirection* StartingDirection = nullptr, int32_t* PerfectRings = nullptr,
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

    // Like DecompressKosinski_Byte, but a stream that ends early or is damaged
    // still leaves in OutByte every byte decoded before the fault: those are
    // the data that could be recovered. Returns true only for a complete
    // stream that produced something; on false, Reason (when given) gets a
    // sentence saying what went wrong.
    virtual bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte,
                                                std::string* Reason = nullptr) = 0;
};

Q_DECLARE_INTERFACE(clsOstrel, OSTREL_IID)
