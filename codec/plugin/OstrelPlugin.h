#pragma once
// The plug-in object that implements clsOstrel on top of the codec libraries
// and the S3S readers. It holds no state: every call works in memory on the
// caller's arrays. It declares every interface version it implements, so a
// program built for an older one still loads it.
#include <QObject>

#include "ostrel/clsOstrel.h"

class OstrelPlugin : public QObject, public clsOstrel {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OSTREL_IID)
    Q_INTERFACES(clsOstrel_v002 clsOstrel_v003 clsOstrel)

public:
    bool DecompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool DecompressKosinski_String(const std::string& InString, std::string& OutString) override;
    bool LoadS3S_Byte(const std::string& S3SFile, std::vector<uint8_t>& ReturnStage, int32_t* StartingRow,
                      int32_t* StartingCol, ostrel::S3S_StartDirection* StartingDirection, int32_t* PerfectRings,
                      std::string* ReturnComment, int32_t* S3SVersion) override;
    void AboutOstrel() override;
    bool CompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool CompressKosinski_String(const std::string& InString, std::string& OutString) override;
    bool OstrelPresent() override;
    bool CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte) override;
    bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte,
                                        std::string* Reason) override;
    bool OffersFormat(int32_t Format) override;
    bool Decompress_Byte(int32_t Format, const std::vector<uint8_t>& InByte, uint64_t Start, uint64_t OutputCap,
                         std::vector<uint8_t>& OutByte, uint64_t* Consumed, std::string* Reason) override;
    bool Compress_Byte(int32_t Format, int32_t Encoder, const std::vector<uint8_t>& InByte,
                       std::vector<uint8_t>& OutByte, std::string* Reason) override;
};
