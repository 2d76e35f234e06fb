// The save road's checksum option: only Genesis images have their header
// checksum at 0x18E; in every other kind those bytes are game data.
#include <gtest/gtest.h>

#include "rom/RomSave.h"
#include "rom/tests/RomTestFiles.h"

namespace zorp {
namespace {

TEST(RomSave, FixesTheChecksumOfGenesisImagesOnlyAndKeepsEveryByteOfOthers)
{
    romtest::ScratchDir dir;
    const Bytes image = romtest::NoiseBytes(0x10000, 9);
    const Patch patch{0x4000, {1, 2, 3}};
    Bytes patched = image;
    ASSERT_TRUE(ApplyPatches(patched, {patch}));
    for (const char* name : {"game.bin", "game.GEN", "game.32x", "game.sms", "game.gg", "game.gba", "stage.s3s"}) {
        const std::string path = dir.file(name);
        romtest::WriteFile(path, image);
        SaveOptions options;
        options.fixChecksum = true;
        const SaveResult result = SavePatches(path, {patch}, options);
        ASSERT_TRUE(result.ok()) << name << ": " << result.error;
        const Bytes after = ReadFileBytes(path).value_or(Bytes{});
        const std::string extension = std::string(name).substr(std::string(name).find('.'));
        const bool genesis = extension == ".bin" || extension == ".GEN" || extension == ".32x";
        EXPECT_EQ(result.checksumFixed, genesis) << name;
        if (genesis) {
            EXPECT_TRUE(HeaderChecksumOf(after).matches()) << name;
            Bytes withoutSum = after;
            withoutSum[0x18E] = patched[0x18E];
            withoutSum[0x18F] = patched[0x18F];
            EXPECT_EQ(withoutSum, patched) << name;
        } else {
            EXPECT_EQ(after, patched) << name << ": every byte but the patch as it was";
        }
    }
}

} // namespace
} // namespace zorp
