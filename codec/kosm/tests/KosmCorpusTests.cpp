// The games' own Kosinski Moduled streams: each decodes to the size and
// digest in its manifest and uses exactly the bytes the manifest gives.
#include <gtest/gtest.h>

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

} // namespace
