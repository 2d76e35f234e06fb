#pragma once
// A codec object for tests: answers OstrelPresent as told and counts the
// about-window calls; the codec calls fail.
#include "ostrel/clsOstrel.h"

namespace zorp::test {

class FakeOstrel : public clsOstrel {
public:
    explicit FakeOstrel(bool present) : present_(present) {}

    bool DecompressKosinski_Byte(const std::vector<uint8_t>&, std::vector<uint8_t>&) override { return false; }
    bool DecompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool LoadS3S_Byte(const std::string&, std::vector<uint8_t>&, int32_t*, int32_t*, ostrel::S3S_StartDirection*, int32_t*,
                      std::string*, int32_t*) override
    {
        return true;
    }
    void AboutOstrel() override { ++aboutCalls; }
    bool CompressKosinski_Byte(const std::vector<uint8_t>&, std::vector<uint8_t>&) override { return false; }
    bool CompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool OstrelPresent() override { return present_; }
    bool CompressKosinskiOptimal_Byte(const std::vector<uint8_t>&, std::vector<uint8_t>&) override { return false; }
    bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>&, std::vector<uint8_t>&, std::string*) override
    {
        return false;
    }

    bool OffersFormat(int32_t) override { return false; }
    bool Decompress_Byte(int32_t, const std::vector<uint8_t>&, uint64_t, uint64_t, std::vector<uint8_t>&, uint64_t*,
                         std::string*) override
    {
        return false;
    }
    bool Compress_Byte(int32_t, int32_t, const std::vector<uint8_t>&, std::vector<uint8_t>&, std::string*) override
    {
        return false;
    }

    int aboutCalls = 0;

private:
    bool present_;
};

} // namespace zorp::test
