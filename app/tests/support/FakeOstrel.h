#pragma once
// A codec object for tests: answers OstrelPresent as told and counts the
// about-window calls; the codec calls fail, except the generic format calls
// of the formats a test hands in (`formats`, e.g. the linked library's).
#include "codec/CodecCalls.h"
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

    bool OffersFormat(int32_t format) override { return Offered(format) != nullptr; }
    bool Decompress_Byte(int32_t format, const std::vector<uint8_t>& in, uint64_t start, uint64_t cap,
                         std::vector<uint8_t>& out, uint64_t* consumed, std::string* reason) override
    {
        const FormatCalls* calls = Offered(format);
        if (!calls)
            return false;
        DecodedStream decoded = calls->decode(in, start, cap);
        out = std::move(decoded.data);
        if (consumed)
            *consumed = decoded.consumed;
        if (reason)
            *reason = decoded.error;
        return decoded.ok();
    }
    bool Compress_Byte(int32_t format, int32_t encoder, const std::vector<uint8_t>& in, std::vector<uint8_t>& out,
                       std::string* reason) override
    {
        const FormatCalls* calls = Offered(format);
        if (!calls)
            return false;
        EncodedStream encoded = encoder == ostrel::Exact ? calls->packExact(in) : calls->packSmallest(in);
        out = std::move(encoded.stream);
        if (reason)
            *reason = encoded.error;
        return encoded.ok();
    }

    int aboutCalls = 0;
    CodecCalls formats;

private:
    const FormatCalls* Offered(int32_t format) const
    {
        if (format < ostrel::Kosinski || format > ostrel::Enigma)
            return nullptr;
        const FormatCalls& calls = formats.For(static_cast<CompressionFormat>(format));
        return calls.available() ? &calls : nullptr;
    }

    bool present_;
};

} // namespace zorp::test
