// The real game streams of corpus/nemesis: each decodes to the data its
// manifest names and uses exactly the bytes the manifest gives; both
// encoders turn the decoded data back into streams that decode to it, the
// smallest-stream encoder within the smallest size any public encoder
// reaches, the exact encoder into the games' own bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "NemesisTestData.h"
#include "Sha256.h"
#include "nemesis/Nemesis.h"

using namespace zorp::nemesis;
using namespace zorp::nemesis::testing;

namespace {

class NemesisCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(CorpusDir() + "/MANIFEST.tsv"))
            GTEST_SKIP() << "corpus not found at " << CorpusDir();
        rows_ = ReadManifest();
        ASSERT_FALSE(rows_.empty());
    }
    std::vector<ManifestRow> rows_;
};

// Measured: all 24 streams made by the games' compressor come out byte for
// byte; 12 of those files end right after the stream, the other 12 carry
// even padding after it. The 25th file was made by another tool.
constexpr int kExactStreamsFloor = 24;
constexpr int kExactFilesFloor = 12;
// Measured total of the smallest-stream encoder over the folder (the public
// encoders' best streams total 48,798): a weaker search fails here first.
constexpr size_t kSmallestTotalCeiling = 48099;

TEST_F(NemesisCorpus, EveryFile)
{
    int exactStreams = 0, exactFiles = 0;
    size_t smallestTotal = 0;
    for (const ManifestRow& row : rows_) {
        SCOPED_TRACE(row["file"]);
        const auto stream = ReadFile(CorpusDir() + "/" + row["file"]);
        const auto plain = ReadFile(CorpusDir() + "/" + row["decoded_file"]);
        ASSERT_TRUE(stream && plain);
        const auto r = Decode(*stream);
        ASSERT_TRUE(r.Ok()) << r.error;
        EXPECT_EQ(r.output.size(), row.Number("decoded_size"));
        EXPECT_EQ(zorp::testing::Sha256Hex(r.output), row["decoded_sha256"]);
        EXPECT_EQ(r.consumed, row.Number("stream_size"));
        EXPECT_EQ(((*stream)[0] & 0x80) != 0, row["nemesis_xor_mode"] == "yes");

        const auto smallest = PackSmallest(*plain);
        const auto exact = PackExact(*plain);
        ASSERT_TRUE(smallest.Ok() && exact.Ok());
        for (const auto* encoded : {&smallest.stream, &exact.stream}) {
            const auto back = Decode(*encoded);
            EXPECT_TRUE(back.Ok()) << back.error;
            EXPECT_TRUE(back.output == *plain);
            EXPECT_EQ(back.consumed, encoded->size());
        }
        EXPECT_LE(smallest.stream.size(), row.Number("smallest_public_stream_size"));
        smallestTotal += smallest.stream.size();
        EXPECT_LE(smallest.stream.size(), exact.stream.size());

        const size_t streamSize = row.Number("stream_size");
        const bool sameStream = exact.stream.size() == streamSize &&
                                std::equal(exact.stream.begin(), exact.stream.end(), stream->begin());
        exactStreams += sameStream;
        exactFiles += exact.stream == *stream;
        if (!sameStream)
            std::cout << "[ exact    ] differs: " << row["file"] << "\n";
    }
    std::cout << "[ exact    ] " << exactStreams << " of " << rows_.size() << " streams, " << exactFiles
              << " whole files\n";
    std::cout << "[ smallest ] " << smallestTotal << " bytes in all\n";
    EXPECT_LE(smallestTotal, kSmallestTotalCeiling);
    EXPECT_GE(exactStreams, kExactStreamsFloor);
    EXPECT_GE(exactFiles, kExactFilesFloor);
}

} // namespace
