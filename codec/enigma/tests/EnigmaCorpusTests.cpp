// The games' own Enigma streams: each decodes to the size and digest in its
// manifest and uses exactly the bytes the manifest gives; both encoders give
// it back, the smallest within the best public encoder's size, the exact one
// byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "CorpusManifest.h"
#include "Sha256.h"
#include "TestData.h"
#include "enigma/Enigma.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

class EnigmaCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasCorpus("enigma"))
            GTEST_SKIP() << "corpus not found at " << CorpusDir("enigma");
        entries_ = ReadCorpusManifest("enigma");
        ASSERT_FALSE(entries_.empty());
    }
    std::vector<CorpusEntry> entries_;
};

TEST_F(EnigmaCorpus, EveryStreamDecodesToItsManifestEntry)
{
    for (const CorpusEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto stream = ReadFile(CorpusDir("enigma") + "/" + e.file);
        ASSERT_TRUE(stream.has_value());
        const auto r = enigma::Decode(*stream);
        ASSERT_TRUE(r.Ok()) << r.error;
        EXPECT_EQ(r.output.size(), e.decodedSize);
        EXPECT_EQ(Sha256Hex(r.output), e.decodedSha256);
        EXPECT_EQ(r.consumed, e.streamSize);
    }
}

// Streams the exact encoder rebuilds byte for byte, padding included, as
// measured: every one of the enigma folder and of the stages folder.
constexpr int kExactFloor = 20;
constexpr int kStagesExactFloor = 10;

TEST_F(EnigmaCorpus, EncodersRoundTripAndMeetTheirMarks)
{
    int exact = 0;
    size_t smallestTotal = 0, publicTotal = 0;
    for (const CorpusEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto data = ReadFile(CorpusDir("enigma") + "/" + e.decodedFile);
        const auto file = ReadFile(CorpusDir("enigma") + "/" + e.file);
        ASSERT_TRUE(data && file);
        const auto smallest = enigma::PackSmallest(*data);
        const auto games = enigma::PackExact(*data);
        for (const auto* r : {&smallest, &games}) {
            const auto back = enigma::Decode(r->stream);
            EXPECT_EQ(back.output, *data);
            EXPECT_EQ(back.consumed + (r == &games ? back.consumed % 2 : 0), r->stream.size());
        }
        EXPECT_LE(smallest.stream.size(), e.smallestPublic);
        exact += games.stream == *file;
        smallestTotal += smallest.stream.size();
        publicTotal += e.smallestPublic;
    }
    EXPECT_GE(exact, kExactFloor);
    std::cout << "[ enigma   ] exact " << exact << "/" << entries_.size() << ", smallest " << smallestTotal
              << " bytes (best public " << publicTotal << ")\n";
}

TEST(EnigmaStages, ExactEncoderRebuildsTheGamesStreams)
{
    const std::string dir = std::string(ZORP_CORPUS_DIR) + "/stages";
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << "corpus not found at " << dir;
    int exact = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        if (f.path().extension() != ".eni")
            continue;
        const auto file = ReadFile(f.path().string());
        const auto decoded = enigma::Decode(*file);
        ASSERT_TRUE(decoded.Ok()) << f.path();
        exact += enigma::PackExact(decoded.output).stream == *file;
    }
    EXPECT_GE(exact, kStagesExactFloor);
}

} // namespace
