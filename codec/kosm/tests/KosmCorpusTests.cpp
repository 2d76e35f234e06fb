// The games' own Kosinski Moduled streams: each decodes to the size and
// digest in its manifest and uses exactly the bytes the manifest gives; both
// encoders give it back, the smallest within the best public encoder's size,
// the exact one byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "CorpusManifest.h"
#include "Sha256.h"
#include "TestData.h"
#include "kosm/KosinskiModuled.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

class KosmCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasCorpus("kosm"))
            GTEST_SKIP() << "corpus not found at " << CorpusDir("kosm");
        entries_ = ReadCorpusManifest("kosm");
        ASSERT_FALSE(entries_.empty());
    }
    std::vector<CorpusEntry> entries_;
};

TEST_F(KosmCorpus, EveryStreamDecodesToItsManifestEntry)
{
    for (const CorpusEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto stream = ReadFile(CorpusDir("kosm") + "/" + e.file);
        ASSERT_TRUE(stream.has_value());
        const auto r = kosm::Decode(*stream);
        ASSERT_TRUE(r.Ok()) << r.error;
        EXPECT_EQ(r.output.size(), e.decodedSize);
        EXPECT_EQ(Sha256Hex(r.output), e.decodedSha256);
        EXPECT_EQ(r.consumed, e.streamSize);
    }
}

// As measured: every file byte for byte but the two Starpost files, whose
// size field says 0x0060 while their one module decodes to 0xC0 bytes.
constexpr int kExactFloor = 18;

TEST_F(KosmCorpus, EncodersRoundTripAndMeetTheirMarks)
{
    int exact = 0, onlySizeField = 0;
    for (const CorpusEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto data = ReadFile(CorpusDir("kosm") + "/" + e.decodedFile);
        const auto file = ReadFile(CorpusDir("kosm") + "/" + e.file);
        ASSERT_TRUE(data && file);
        const auto smallest = kosm::PackSmallest(*data);
        const auto games = kosm::PackExact(*data);
        for (const auto* r : {&smallest, &games})
            EXPECT_EQ(kosm::Decode(r->stream).output, *data);
        // Only the exact encoder pads the last module.
        EXPECT_EQ(kosm::Decode(smallest.stream).consumed, smallest.stream.size());
        EXPECT_LT(games.stream.size() - kosm::Decode(games.stream).consumed, 16u);
        EXPECT_LE(smallest.stream.size(), e.smallestPublic);
        exact += games.stream == *file;
        onlySizeField += games.stream != *file && games.stream.size() == file->size() &&
                         std::equal(games.stream.begin() + 2, games.stream.end(), file->begin() + 2);
    }
    EXPECT_GE(exact, kExactFloor);
    EXPECT_EQ(exact + onlySizeField, static_cast<int>(entries_.size()));
    std::cout << "[ kosm     ] exact " << exact << "/" << entries_.size() << ", size field only " << onlySizeField
              << "\n";
}

} // namespace
