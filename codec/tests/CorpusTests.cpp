// Real game data: every stream of the corpus decodes to the size and SHA-256
// in its manifest, and both encoders turn every decoded file back into a
// stream that decodes to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ReferencePack.h"
#include "Sha256.h"
#include "TestData.h"
#include "kosinski/GamesPack.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

struct ManifestEntry {
    std::string file;
    size_t streamSize = 0;
    size_t decodedSize = 0;
    std::string sha256;
};

// MANIFEST.tsv: file, compressed_size, stream_size, decoded_size, decoded_sha256, ...
std::vector<ManifestEntry> ReadManifest()
{
    std::vector<ManifestEntry> entries;
    std::ifstream f(KosinskiCorpusDir() + "/MANIFEST.tsv");
    std::string line;
    std::getline(f, line); // header
    while (std::getline(f, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        for (std::string col; std::getline(ss, col, '\t');)
            cols.push_back(col);
        if (cols.size() < 5)
            continue;
        entries.push_back({cols[0], std::stoul(cols[2]), std::stoul(cols[3]), cols[4]});
    }
    return entries;
}

class KosinskiCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(KosinskiCorpusDir() + "/MANIFEST.tsv"))
            GTEST_SKIP() << "corpus not found at " << KosinskiCorpusDir();
        entries_ = ReadManifest();
        ASSERT_FALSE(entries_.empty());
    }
    std::vector<ManifestEntry> entries_;
};

TEST(Sha256, KnownDigests)
{
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex(B({'a', 'b', 'c'})), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding spills into a second block
    const std::string s = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256Hex(Bytes(s.begin(), s.end())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_F(KosinskiCorpus, EveryStreamDecodesToItsManifestEntry)
{
    for (const ManifestEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto stream = ReadFile(KosinskiCorpusDir() + "/" + e.file);
        ASSERT_TRUE(stream.has_value());
        const auto r = modVorlith_Extract::Decode(*stream);
        ASSERT_TRUE(r.Ok()) << modVorlith_Extract::DescribeStatus(r.status);
        EXPECT_EQ(r.output.size(), e.decodedSize);
        EXPECT_EQ(r.consumed, e.streamSize);
        EXPECT_EQ(Sha256Hex(r.output), e.sha256);
    }
}

TEST_F(KosinskiCorpus, BothEncodersRoundTripEveryFile)
{
    size_t exactTotal = 0, smallestTotal = 0, originalTotal = 0;
    for (const ManifestEntry& e : entries_) {
        SCOPED_TRACE(e.file);
        const auto data = ReadFile(KosinskiCorpusDir() + "/" + e.file + ".dec");
        ASSERT_TRUE(data.has_value());
        const Bytes exact = modVorlith_Pack::Pack(*data);
        const Bytes smallest = PackSmallest(*data);
        EXPECT_EQ(modVorlith_Extract::Decode(exact).output, *data);
        EXPECT_EQ(modVorlith_Extract::Decode(smallest).output, *data);
        // The smallest stream is never longer than the exact encoder's.
        EXPECT_LE(smallest.size(), exact.size());
        exactTotal += exact.size();
        smallestTotal += smallest.size();
        originalTotal += e.streamSize;
    }
    RecordProperty("corpus_original_bytes", std::to_string(originalTotal));
    RecordProperty("corpus_exact_bytes", std::to_string(exactTotal));
    RecordProperty("corpus_smallest_bytes", std::to_string(smallestTotal));
    std::cout << "[ corpus   ] original " << originalTotal << ", exact " << exactTotal << ", smallest "
              << smallestTotal << " bytes\n";
}

// The games' own encoder, as far as the streams show it: all but the two
// Sonic 1 streams with an empty copy in their final zero run.
TEST_F(KosinskiCorpus, GamesPackRebuildsTheGamesStreams)
{
    int same = 0;
    for (const ManifestEntry& e : entries_) {
        const auto data = ReadFile(KosinskiCorpusDir() + "/" + e.file + ".dec");
        const auto file = ReadFile(KosinskiCorpusDir() + "/" + e.file);
        ASSERT_TRUE(data && file);
        const Bytes stream = GamesPack::Pack(*data);
        same += stream.size() == e.streamSize && std::equal(stream.begin(), stream.end(), file->begin());
    }
    EXPECT_GE(same, 32);
}

// The eight Sonic & Knuckles special stages: the ROM gives their stream
// 1696 bytes.
TEST_F(KosinskiCorpus, SpecialStageBlockSizes)
{
    const std::string name = "sk__General__Special_Stage__Layout__SK_Set_1.kos";
    const auto data = ReadFile(KosinskiCorpusDir() + "/" + name + ".dec");
    ASSERT_TRUE(data.has_value());
    ASSERT_EQ(data->size(), 8256u);
    const Bytes exact = modVorlith_Pack::Pack(*data);
    const Bytes smallest = PackSmallest(*data);
    EXPECT_EQ(exact, reference::Pack(*data));
    EXPECT_LE(smallest.size(), 1540u);
    EXPECT_LT(smallest.size(), 1696u);
    RecordProperty("sk_set_1_exact_bytes", std::to_string(exact.size()));
    RecordProperty("sk_set_1_smallest_bytes", std::to_string(smallest.size()));
    std::cout << "[ SK Set 1 ] exact " << exact.size() << " bytes, smallest " << smallest.size()
              << " bytes (ROM space 1696)\n";
}

} // namespace
