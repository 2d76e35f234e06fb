// The playlist model: song numbers read from and written into the block.
#include <gtest/gtest.h>

#include "template/PlaylistModel.h"

namespace zorp {
namespace {

PlaylistSetup Sonic2Like(std::vector<PlaylistSlot> slots)
{
    PlaylistSetup setup;
    setup.startAddress = 2;
    setup.minSong = 1;
    setup.maxSong = 0x1F;
    setup.addValue = 0x80;
    setup.blockSize = 4;
    setup.songSlots = std::move(slots);
    return setup;
}

TEST(PlaylistModel, ReadsSongsAsStoredByteMinusAddedValue)
{
    PlaylistModel model(Sonic2Like({{"Emerald Hill", 0}, {"Aquatic Ruin", 3}}));
    Bytes image = {0xEE, 0xEE, 0x85, 0x00, 0x00, 0x9F, 0xEE};
    model.Load(ImageSource(image));
    EXPECT_EQ(model.Song(0), 5);
    EXPECT_EQ(PlaylistModel::SongText(model.Song(0)), "05");
    EXPECT_EQ(model.Song(1), 0x1F);
    EXPECT_FALSE(model.WasClamped(0));
    EXPECT_EQ(model.Caption(1), "Aquatic Ruin");
    EXPECT_EQ(model.Offset(1), 3);
}

TEST(PlaylistModel, WritesSongPlusAddedValueAndKeepsOtherBytes)
{
    PlaylistModel model(Sonic2Like({{"Emerald Hill", 0}}));
    Bytes image = {0xEE, 0xEE, 0x85, 0x11, 0x22, 0x33, 0xEE};
    model.Load(ImageSource(image));
    model.SetSong(0, 0x1F);
    auto write = model.PlanWrite(ImageSource(image));
    ASSERT_TRUE(write.has_value());
    EXPECT_EQ(write->offset, 2u);
    EXPECT_EQ(write->bytes, (Bytes{0x9F, 0x11, 0x22, 0x33}));
}

TEST(PlaylistModel, LaterRowWinsAtTheSameOffset)
{
    PlaylistModel model(Sonic2Like({{"First", 1}, {"Second", 1}}));
    Bytes image(8, 0x81);
    model.Load(ImageSource(image));
    model.SetSong(0, 3);
    model.SetSong(1, 7);
    auto write = model.PlanWrite(ImageSource(image));
    ASSERT_TRUE(write.has_value());
    EXPECT_EQ(write->bytes[1], 0x87);
}

TEST(PlaylistModel, OutOfRangeBytesAreClampedAndFlagged)
{
    PlaylistModel model(Sonic2Like({{"Low", 0}, {"High", 1}, {"Fine", 2}}));
    Bytes image = {0, 0, 0x80, 0xF0, 0x90, 0};
    model.Load(ImageSource(image));
    EXPECT_EQ(model.Song(0), 1); // 0x80 - 0x80 = 0 -> lowest song
    EXPECT_TRUE(model.WasClamped(0));
    EXPECT_EQ(model.Song(1), 0x1F); // 0x70 -> highest song
    EXPECT_TRUE(model.WasClamped(1));
    EXPECT_FALSE(model.WasClamped(2));
    model.SetSong(0, 0x40); // choosing clamps too, and clears the flag
    EXPECT_EQ(model.Song(0), 0x1F);
    EXPECT_FALSE(model.WasClamped(0));
    model.SetSong(0, -3);
    EXPECT_EQ(model.Song(0), 1);
}

TEST(PlaylistModel, BlockPastTheEndOfTheFileIsNotWritten)
{
    PlaylistModel model(Sonic2Like({{"Slot", 0}}));
    Bytes image = {0, 0, 0x81, 0x81, 0x81}; // the block needs bytes 2..5
    model.Load(ImageSource(image));
    EXPECT_FALSE(model.PlanWrite(ImageSource(image)).has_value());
    image.push_back(0x81);
    EXPECT_TRUE(model.PlanWrite(ImageSource(image)).has_value());
}

TEST(PlaylistModel, SongTextIsTwoUpperCaseHexDigits)
{
    EXPECT_EQ(PlaylistModel::SongText(0), "00");
    EXPECT_EQ(PlaylistModel::SongText(0x0A), "0A");
    EXPECT_EQ(PlaylistModel::SongText(0xFF), "FF");
    EXPECT_EQ(PlaylistModel::SongText(0x1AB), "AB");
    EXPECT_EQ(PlaylistModel::SongText(-1), "FF");
}

} // namespace
} // namespace zorp
