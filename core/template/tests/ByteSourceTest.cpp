#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "template/ByteSource.h"

namespace zorp {
namespace {

TEST(ByteSource, FileAndImageReadTheSameAndZeroPastTheEnd)
{
    const Bytes image = {1, 2, 3, 4, 5};
    const std::string path = (std::filesystem::temp_directory_path() / "zorp_bytesource_test.bin").string();
    ASSERT_EQ(WriteFileBytes(path, image), "");
    FileSource file(path);
    ASSERT_TRUE(file.IsOpen());
    ImageSource memory(image);
    for (const ByteSource* source : {static_cast<const ByteSource*>(&file), static_cast<const ByteSource*>(&memory)}) {
        EXPECT_EQ(source->Size(), 5u);
        EXPECT_EQ(source->Read(1, 3), (Bytes{2, 3, 4}));
        EXPECT_EQ(source->Read(3, 4), (Bytes{4, 5, 0, 0}));
        EXPECT_EQ(source->Read(9, 2), (Bytes{0, 0}));
        EXPECT_EQ(source->Read(0, 0), Bytes{});
    }
    std::remove(path.c_str());
    EXPECT_FALSE(FileSource(path).IsOpen());
    EXPECT_EQ(FileSource(path).Read(0, 2), (Bytes{0, 0}));
}

TEST(ByteSource, WritesMustFitTheImage)
{
    Bytes image(4, 0);
    EXPECT_TRUE(ApplyWrite(image, {2, {7, 8}}));
    EXPECT_EQ(image, (Bytes{0, 0, 7, 8}));
    EXPECT_FALSE(ApplyWrite(image, {3, {1, 1}}));
    EXPECT_FALSE(ApplyWrite(image, {~0ull, {1}}));
    EXPECT_EQ(image, (Bytes{0, 0, 7, 8}));
    EXPECT_TRUE(FitsInFile(4, 0, 4));
    EXPECT_FALSE(FitsInFile(5, 0, 4));
}

} // namespace
} // namespace zorp
