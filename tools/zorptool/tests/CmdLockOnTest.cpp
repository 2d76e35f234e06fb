// zorptool lockon, run as a program on synthetic images in a scratch folder.
// The program directory is zorptool's own, with the shipped ROM_DEF.RDEF.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <cstdio>
#include <filesystem>

#include "rom/LockOn.h"
#include "rom/tests/RomTestFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace romtest;

using RunResult = zorptest::ToolRun;

RunResult RunLockOn(const ScratchDir& dir, const std::vector<std::string>& args)
{
    std::vector<std::string> words{"lockon"};
    words.insert(words.end(), args.begin(), args.end());
    return zorptest::RunZorptool(dir.str(), words);
}

zorp::Bytes Slice(const zorp::Bytes& b, size_t from, size_t count)
{
    return zorp::Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

} // namespace

TEST(LockOnCommand, SonicThreeGetsSramBlockAndPatches)
{
    ScratchDir dir;
    const zorp::Bytes sk = GameImage(0x200000, SonicKnuckles(), 1);
    const zorp::Bytes s3 = GameImage(0x200000, Sonic3(), 2);
    WriteFile(dir.file("sk.bin"), sk);
    WriteFile(dir.file("s3.bin"), s3);
    const RunResult r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s3.bin"), dir.file("out.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Locked on Sonic the Hedgehog 3 (S3)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sonic & Knuckles utilizes Sonic 3's SRAM chip"), std::string::npos);

    const auto out = zorp::ReadFileBytes(dir.file("out.bin"));
    ASSERT_TRUE(out);
    ASSERT_EQ(out->size(), 0x400000u);
    const auto expected = zorp::CombineROMs(zorp::MakeSKImage(sk), s3, "S3", {});
    ASSERT_TRUE(expected);
    EXPECT_TRUE(*out == *expected);
    EXPECT_EQ((*out)[0x3B5], 0x02);
    EXPECT_EQ((*out)[0x433], 0x2C);
    EXPECT_EQ(Slice(*out, 0x1B0, 32), zorp::Bytes(zorp::kLockOnSramInfo.begin(), zorp::kLockOnSramInfo.end()));
}

TEST(LockOnCommand, SonicTwoUsesTheGivenExtraImage)
{
    ScratchDir dir;
    const zorp::Bytes extra = NoiseBytes(zorp::kS2ExtraSize, 5);
    WriteFile(dir.file("sk.bin"), GameImage(0x200000, SonicKnuckles(), 1));
    WriteFile(dir.file("s2.bin"), GameImage(0x100000, Sonic2(), 3));
    WriteFile(dir.file("extra.bin"), extra);
    const RunResult r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s2.bin"), dir.file("out.bin"), "--s2-extra",
                                  dir.file("extra.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = zorp::ReadFileBytes(dir.file("out.bin"));
    ASSERT_TRUE(out);
    ASSERT_EQ(out->size(), 0x340000u);
    EXPECT_TRUE(Slice(*out, 0x300000, zorp::kS2ExtraSize) == extra);
}

TEST(LockOnCommand, RefusalsAndUsage)
{
    ScratchDir dir;
    WriteFile(dir.file("sk.bin"), GameImage(0x200000, SonicKnuckles(), 1));
    WriteFile(dir.file("s1.bin"), GameImage(0x80000, Sonic1Rev00(), 2));
    WriteFile(dir.file("empty.bin"), {});

    RunResult r = RunLockOn(dir, {dir.file("s1.bin"), dir.file("sk.bin"), dir.file("out.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorptool: Not S&K ROM: The selected ROM is not Sonic & knuckles or an already locked-on "
                     "ROM. Please select a Sonic & Knuckles ROM.\n");

    r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("empty.bin"), dir.file("out.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("It is empty."), std::string::npos) << r.err;

    r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s1.bin"), dir.file("no/such/dir/out.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorptool: Error Writing ROM: Error: The combined ROM could not be written to"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out.bin")));

    WriteFile(dir.file("s2.bin"), GameImage(0x100000, Sonic2(), 3));
    WriteFile(dir.file("short.bin"), NoiseBytes(1000, 5));
    r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s2.bin"), dir.file("out.bin"), "--s2-extra",
                        dir.file("short.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorptool: Sonic 2 Extra ROM Missing:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("That file is 1,000 bytes long."), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out.bin")));

    r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s1.bin")});
    EXPECT_EQ(r.status, 2);
    r = RunLockOn(dir, {dir.file("sk.bin"), dir.file("s1.bin"), dir.file("out.bin"), "--s2-extra"});
    EXPECT_EQ(r.status, 2);
}
