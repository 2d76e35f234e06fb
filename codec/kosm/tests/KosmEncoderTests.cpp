// Both Kosinski Moduled encoders: what they refuse, memory, and randomized
// round trips across module boundaries.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "CorpusManifest.h"
#include "TestData.h"
#include "kosm/KosinskiModuled.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

struct RefusalCase {
    const char* name;
    size_t size;
    std::string error;
};

class KosmRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(KosmRefusals, BothEncodersRefuse)
{
    const Bytes data(GetParam().size, 0x11);
    EXPECT_EQ(kosm::PackSmallest(data).error, GetParam().error);
    EXPECT_EQ(kosm::PackExact(data).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, KosmRefusals,
    ::testing::Values(
        RefusalCase{"Empty", 0, "Kosinski Moduled data cannot be empty: the games read a size of 0 as no data."},
        RefusalCase{"BeyondTheSizeField", 0x10000,
                    "Kosinski Moduled data holds at most 65535 bytes; 65536 bytes is too much."},
        RefusalCase{"ReadAsSmaller", 0xA000,
                    "The games read a Kosinski Moduled size of 40960 bytes (0xA000) as 32768 and would load only "
                    "part of the data; pad it or split it."}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(KosmEncoders, RandomRoundTrips)
{
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        DataGenerator gen(300 + seed);
        const size_t size = static_cast<size_t>(gen.Uniform(1, seed <= 25 ? 9000 : 0xFFFF));
        if (size == 0xA000)
            continue;
        const Bytes data = seed % 3 == 0 ? gen.Random(size, 4) : gen.Structured(size);
        for (const auto& r : {kosm::PackSmallest(data), kosm::PackExact(data)}) {
            ASSERT_TRUE(r.Ok()) << r.error;
            EXPECT_EQ((r.stream[0] << 8 | r.stream[1]), static_cast<int>(size));
            const auto back = kosm::Decode(r.stream);
            ASSERT_TRUE(back.Ok()) << "seed " << seed << ": " << back.error;
            EXPECT_EQ(back.output, data) << "seed " << seed;
        }
    }
}

// At most 32 bytes per input byte, plus a fixed 32 KiB that small inputs
// need whatever their size: every corpus file and a large synthetic one.
TEST(KosmEncoders, SmallestStaysWithin32BytesPerInputByte)
{
    std::vector<Bytes> inputs = {DataGenerator(8).Structured(0xFFFF)};
    if (HasCorpus("kosm"))
        for (const CorpusEntry& e : ReadCorpusManifest("kosm"))
            inputs.push_back(*ReadFile(CorpusDir("kosm") + "/" + e.decodedFile));
    for (const Bytes& data : inputs) {
        const size_t peak = AllocationCounter::PeakDuring([&] { kosm::PackSmallest(data); });
        EXPECT_LE(peak, 32 * data.size() + (size_t{32} << 10)) << data.size() << " bytes";
    }
}

} // namespace
