#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "rom/PubFunctions.h"

namespace fs = std::filesystem;
using namespace zorp;

namespace {

// A temporary folder that also serves as the program directory.
class TempDir {
public:
    TempDir()
    {
        path_ = fs::temp_directory_path() / ("zorp-pub-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

void WriteFile(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

} // namespace

TEST(PadLeftZeros, KeepsRightmostCharactersOrPadsWithZeros)
{
    EXPECT_EQ(PadLeftZeros("12345", 4), "2345");
    EXPECT_EQ(PadLeftZeros("", 3), "000");
    EXPECT_EQ(PadLeftZeros("A", 2), "0A");
    EXPECT_EQ(PadLeftZeros("13", 4), "0013");
    EXPECT_EQ(PadLeftZeros("AB", 2), "AB");
}

TEST(BitStrings, RoundTripAndLenientReading)
{
    EXPECT_EQ(ByteToBits(5), "00000101");
    EXPECT_EQ(ByteToBits(0), "00000000");
    EXPECT_EQ(ByteToBits(0x80), "10000000");
    EXPECT_EQ(BitsToByte("00000101"), 5);
    EXPECT_EQ(BitsToByte("1"), 1);
    EXPECT_EQ(BitsToByte("a1b"), 2); // only '1' counts, weights from the end
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(BitsToByte(ByteToBits(static_cast<uint8_t>(v))), v);
    // Longer texts: only the last eight characters carry a weight.
    EXPECT_EQ(BitsToByte("1100000001"), 1);
}

TEST(PathHelpers, JoinAndFileName)
{
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(FileNameOfPath("/a/b/GAME.BIN"), "GAME.BIN");
    EXPECT_EQ(FileNameOfPath("C:\\roms\\GAME.BIN"), "GAME.BIN");
    EXPECT_EQ(FileNameOfPath(""), "");
    EXPECT_EQ(FileNameOfPath("GAME.BIN"), "GAME.BIN");
    EXPECT_EQ(TempDirectory().back(), '/');
}

TEST(GenesisChecksumTest, SumsBigEndianWordsFrom0x200)
{
    EXPECT_EQ(GenesisChecksum(Bytes(0x200, 0xFF)), 0);
    EXPECT_EQ(GenesisChecksum(Bytes{}), 0);

    Bytes image(0x208, 0xEE); // the header bytes never count
    image[0x200] = 0x12; image[0x201] = 0x34;
    image[0x202] = 0xFF; image[0x203] = 0xFF;
    image[0x204] = 0x00; image[0x205] = 0x01;
    image[0x206] = 0xED; image[0x207] = 0xCC;
    // 0x1234 + 0xFFFF + 0x0001 + 0xEDCC = 0x20000 -> wraps to 0.
    EXPECT_EQ(GenesisChecksum(image), 0x0000);
    image[0x207] = 0xCD;
    EXPECT_EQ(GenesisChecksum(image), 0x0001);

    image.push_back(0x80); // odd length: the last byte is a high byte
    EXPECT_EQ(GenesisChecksum(image), 0x8001);

    image[0x18E] = 0xAB; image[0x18F] = 0xCD;
    EXPECT_EQ(StoredChecksum(image), 0xABCD);
    EXPECT_EQ(StoredChecksum(Bytes(0x18F, 0)), 0);
}

TEST(LevelText, DecodeAndEncodeThroughATable)
{
    const std::string table = "0123456789$-=<<YZABCDEFGHIJKLMNOPQRSTUVWX";
    EXPECT_EQ(DecodeLevelText(table, Bytes{0x11, 0x12, 0x0D, 0x28, 0x29, 0xFF}), "AB<X  ");
    // Repeated characters encode to their last position; unknown ones to the fallback.
    EXPECT_EQ(EncodeLevelText("<", table, 0xFF, false), (Bytes{0x0E}));
    EXPECT_EQ(EncodeLevelText("ab ?", table, 0xFF, false), (Bytes{0x11, 0x12, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeLevelText("ab", table, 0xFF, true), (Bytes{0xFF, 0xFF})); // case kept: not in table
    EXPECT_TRUE(EncodeLevelText("", table, 0xFF, false).empty());
}

TEST(HeaderReads, ReadFieldsAndFailOnShortFiles)
{
    TempDir dir;
    Bytes rom(0x400, ' ');
    const std::string title = "SONIC THE             HEDGEHOG 2                SONIC THE             HEDGEHOG 2                ";
    ASSERT_EQ(title.size(), 96u);
    std::copy(title.begin(), title.end(), rom.begin() + 0x120);
    const std::string serial = "GM 00001051-01";
    std::copy(serial.begin(), serial.end(), rom.begin() + 0x180);
    WriteFile(dir.file("s2.bin"), rom);

    auto id = ReadHeaderIdentity(dir.file("s2.bin"), false);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->title, title);
    EXPECT_EQ(id->serial, "GM 00001051");
    EXPECT_FALSE(ReadHeaderIdentity(dir.file("s2.bin"), true)); // no second cartridge
    EXPECT_FALSE(ReadHeaderIdentity(dir.file("missing.bin"), false));

    WriteFile(dir.file("short.bin"), Bytes(0xAF, 0)); // one byte short of every field
    EXPECT_FALSE(ReadHeaderIdentity(dir.file("short.bin"), false));
    EXPECT_FALSE(ReadSmsProductCode(dir.file("short.bin")));
    EXPECT_FALSE(ReadGbaIdentity(dir.file("short.bin")));
    WriteFile(dir.file("empty.bin"), Bytes{});
    EXPECT_FALSE(ReadHeaderIdentity(dir.file("empty.bin"), false));

    Bytes sms(0x8000, 0);
    sms[0x7FFC] = 0x15; sms[0x7FFD] = 0x90;
    const std::string gba = "SONIC ADVANCASOP";
    std::copy(gba.begin(), gba.end(), sms.begin() + 0xA0);
    WriteFile(dir.file("s2.sms"), sms);
    EXPECT_EQ(ReadSmsProductCode(dir.file("s2.sms")), 0x9015);
    EXPECT_EQ(ReadGbaIdentity(dir.file("s2.sms")), gba);
}

TEST(FileAccess, ReadsPastTheEndAsZeroAndWritesInOneStep)
{
    TempDir dir;
    const std::string path = dir.file("rom.bin");
    WriteFile(path, Bytes{1, 2, 3, 4});

    EXPECT_EQ(ReadBytesAt(path, 2, 4), (Bytes{3, 4, 0, 0}));
    EXPECT_EQ(ReadBytesAt(path, 10, 2), (Bytes{0, 0}));
    EXPECT_FALSE(ReadBytesAt(dir.file("none"), 0, 1));
    EXPECT_FALSE(ReadFileBytes(path, 3)); // over the size limit

    EXPECT_EQ(WritePatches(path, {{0, {9}}, {2, {7, 8}}, {0, {6}}}), "");
    EXPECT_EQ(ReadFileBytes(path), (Bytes{6, 2, 7, 8}));
    // Nothing past the end, and a file that changed length is refused untouched.
    EXPECT_NE(WriteBytesAt(path, 3, Bytes{1, 1}), "");
    EXPECT_NE(WritePatches(path, {{0, {5}}}, 10), "");
    EXPECT_EQ(ReadFileBytes(path), (Bytes{6, 2, 7, 8}));
    EXPECT_NE(WriteBytesAt(dir.file("none"), 0, Bytes{1}), "");
}

TEST(FileAccess, FailedWriteLeavesTheFileAndItsPermissions)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const std::string path = dir.file("rom.bin");
    WriteFile(path, Bytes{1, 2, 3});
    fs::permissions(dir.str(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_NE(WriteBytesAt(path, 0, Bytes{9}), "");
    fs::permissions(dir.str(), fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));
}

TEST(FileAccess, ReplacingKeepsPermissions)
{
    TempDir dir;
    const std::string path = dir.file("rom.bin");
    WriteFile(path, Bytes{1, 2, 3});
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(WriteBytesAt(path, 1, Bytes{0}), "");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.str()), fs::directory_iterator()), 1); // no temp left
}

// Whatever step of a save fails, the file on disk keeps every byte it had and
// no temporary file is left beside it.
TEST(FileAccess, EveryFailedStepLeavesTheOriginalUntouched)
{
    struct Case {
        WriteFaultStep step;
        uint64_t afterBytes;
        const char* reasonStart;
    };
    const Case cases[] = {
        {WriteFaultStep::Create, 0, "cannot create"},
        {WriteFaultStep::Write, 0, "cannot write"},
        {WriteFaultStep::Write, 3, "cannot write"},
        {WriteFaultStep::Write, 4095, "cannot write"},
        {WriteFaultStep::Flush, 0, "cannot flush"},
        {WriteFaultStep::Rename, 0, "cannot replace"},
    };
    TempDir dir;
    const std::string path = dir.file("rom.bin");
    Bytes original(4096);
    for (size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<uint8_t>(i * 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reasonStart + std::to_string(c.afterBytes));
        WriteFile(path, original);
        SetWriteFaultForTesting({c.step, c.afterBytes});
        const std::string patchError = WriteBytesAt(path, 100, Bytes(50, 0xEE));
        const std::string replaceError = WriteFileBytes(path, Bytes(4096, 0xEE));
        SetWriteFaultForTesting({});
        EXPECT_EQ(patchError.rfind(c.reasonStart, 0), 0u) << patchError;
        EXPECT_EQ(replaceError.rfind(c.reasonStart, 0), 0u) << replaceError;
        EXPECT_EQ(ReadFileBytes(path), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.str()), fs::directory_iterator()), 1);
    }
    // With the fault cleared the same write goes through.
    EXPECT_EQ(WriteBytesAt(path, 100, Bytes(50, 0xEE)), "");
    EXPECT_EQ((*ReadFileBytes(path))[120], 0xEE);
}

TEST(FileAccess, VanishedFileIsNotRecreatedByAPatch)
{
    TempDir dir;
    const std::string path = dir.file("gone.bin");
    EXPECT_NE(WritePatches(path, {{0, {1}}}), "");
    EXPECT_FALSE(fs::exists(path));
}

// A file nobody may write is refused, for the superuser too (who could
// otherwise rename over it), and keeps its bytes.
TEST(FileAccess, ReadOnlyFileIsNotReplaced)
{
    TempDir dir;
    const std::string path = dir.file("rom.bin");
    WriteFile(path, Bytes{1, 2, 3});
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(WriteBytesAt(path, 0, Bytes{9}).rfind("the file is read-only", 0), 0u);
    EXPECT_EQ(WriteFileBytes(path, Bytes{9, 9, 9}).rfind("the file is read-only", 0), 0u);
    fs::permissions(path, fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));
}

// Saving through a symbolic link changes the file it points to and leaves
// the link a link; a link to nothing is refused, naming it.
TEST(FileAccess, SavingThroughALinkReplacesTheLinkedFile)
{
    TempDir dir;
    fs::create_directory(dir.file("roms"));
    const std::string real = dir.file("roms/s3.bin");
    const std::string link = dir.file("s3-link.bin");
    WriteFile(real, Bytes{1, 2, 3, 4});
    fs::create_symlink("roms/s3.bin", link);

    EXPECT_EQ(WriteBytesAt(link, 1, Bytes{9}), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), (Bytes{1, 9, 3, 4}));
    EXPECT_EQ(WriteFileBytes(link, Bytes{5, 5, 5, 5}), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), (Bytes{5, 5, 5, 5}));
    // No temporary file left beside either name.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("roms")), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.str()), fs::directory_iterator()), 2);

    const std::string dangling = dir.file("dangling.bin");
    fs::create_symlink("roms/none.bin", dangling);
    const std::string error = WriteFileBytes(dangling, Bytes{1});
    EXPECT_NE(error.find("cannot follow the link " + dangling), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir.file("roms/none.bin")));
}
