// zorptool wav and stages png, run as the built program on a synthetic image
// with Sonic 3's header, read through the shipped S3 template (sample at
// 0xF8000, 24111 bytes at 14434 Hz; eight plain stage records at 0x6A0E0).
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <cstdlib>
#include <fstream>

#include "audio/tests/SoundTestFiles.h"
#include "rom/RomSave.h"
#include "rom/tests/RomTestFiles.h"
#include "stage/SpecialStage.h"

#ifdef ZORPTOOL_STAGE_PICTURES
#include <QImage>

#include "specialstage/StagePictures.h"
#include "specialstage/tests/StagePixelCheck.h"
#endif

using namespace zorp;
using namespace romtest;

namespace {

constexpr uint64_t kSampleAt = 0xF8000;
constexpr size_t kSampleLength = 24111;
constexpr int kRate = 14434;

using zorptest::ToolRun;

Bytes ReadAll(const std::string& path)
{
    auto bytes = ReadFileBytes(path);
    return bytes ? *bytes : Bytes{};
}

class WavCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        image_ = GameImage(0x200000, Sonic3(), 7);
        WriteFile(Path("s3.bin"), image_);
    }

    // Runs zorptool with the words given; also used for sox.
    ToolRun Shell(const std::string& program, const std::vector<std::string>& args) const
    {
        return zorptest::RunProgram(dir_.str(), program, args);
    }
    ToolRun Run(const std::vector<std::string>& args) const
    {
        return zorptest::RunZorptool(dir_.str(), args);
    }
    static bool HaveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

    std::string Path(const std::string& name) const { return dir_.file(name); }
    Bytes Sample(const Bytes& image) const
    {
        return Bytes(image.begin() + kSampleAt, image.begin() + kSampleAt + kSampleLength);
    }
    // True when the two images differ nowhere outside the sample (and the checksum word).
    bool OnlySampleChanged(const Bytes& after, bool checksum) const
    {
        for (size_t i = 0; i < after.size(); ++i) {
            const bool inSample = i >= kSampleAt && i < kSampleAt + kSampleLength;
            const bool inChecksum = checksum && (i == kHeaderChecksumOffset || i == kHeaderChecksumOffset + 1);
            if (!inSample && !inChecksum && after[i] != image_[i])
                return false;
        }
        return after.size() == image_.size();
    }

    ScratchDir dir_;
    Bytes image_;
};

} // namespace

TEST_F(WavCommand, ExportIsAPlainWavOfTheRomsBytesThatSoxReads)
{
    const ToolRun run = Run({"wav", "export", Path("s3.bin"), Path("sega.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 24111 samples, 8-bit mono at 14434 Hz (1.67 s), to " + Path("sega.wav") + "\n");
    const Bytes wav = ReadAll(Path("sega.wav"));
    ASSERT_EQ(wav.size(), 44 + kSampleLength + 1); // odd data chunk: one pad byte
    EXPECT_EQ(Bytes(wav.begin() + 44, wav.begin() + 44 + kSampleLength), Sample(image_));
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    EXPECT_EQ(Shell("sox --i -r", {Path("sega.wav")}).out, "14434\n");
    EXPECT_EQ(Shell("sox --i -s", {Path("sega.wav")}).out, "24111\n");
    EXPECT_EQ(Shell("sox --i -b", {Path("sega.wav")}).out, "8\n");
    EXPECT_EQ(Shell("sox --i -c", {Path("sega.wav")}).out, "1\n");
}

TEST_F(WavCommand, ImportConvertsPadsAndFixesTheChecksum)
{
    WriteFile(Path("voice.wav"), soundtest::PcmWav(44100, 16, 2, soundtest::Sine(700, 44100, 1.0)));
    const ToolRun run = Run({"wav", "import", "--fix-checksum", Path("s3.bin"), Path("voice.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("converted from 44100 Hz 16-bit stereo, 1.00 s, padded with silence to 1.67 s"),
              std::string::npos)
        << run.out;
    const Bytes after = ReadAll(Path("s3.bin"));
    EXPECT_TRUE(OnlySampleChanged(after, true));
    EXPECT_TRUE(HeaderChecksumOf(after).matches());
    const Bytes sample = Sample(after);
    EXPECT_NEAR(soundtest::MeasuredHertz(sample, kRate, 500, 14000), 700, 14);
    EXPECT_TRUE(std::all_of(sample.begin() + kRate + 2, sample.end(), [](uint8_t b) { return b == 0x80; }));

    // Exported again, the game's own layout comes back in unchanged.
    ASSERT_EQ(Run({"wav", "export", Path("s3.bin"), Path("again.wav")}).status, 0);
    ASSERT_EQ(Run({"wav", "import", Path("s3.bin"), Path("again.wav")}).status, 0);
    EXPECT_EQ(ReadAll(Path("s3.bin")), after);
}

TEST_F(WavCommand, LongBrokenAndCompressedSounds)
{
    WriteFile(Path("long.wav"), soundtest::PcmWav(22050, 8, 1, soundtest::Sine(300, 22050, 3.0)));
    ToolRun run = Run({"wav", "import", Path("s3.bin"), Path("long.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zorptool: " + Path("long.wav") +
                           ": the sound lasts 3.00 s, the game has room for 1.67 s (--cut keeps its start); the ROM "
                           "was not written\n");
    EXPECT_EQ(ReadAll(Path("s3.bin")), image_);

    WriteFile(Path("broken.wav"), Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
    run = Run({"wav", "import", Path("s3.bin"), Path("broken.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("zorptool: " + Path("broken.wav") + ": The file is not a sound file", 0), 0u) << run.err;
    EXPECT_EQ(ReadAll(Path("s3.bin")), image_);

    run = Run({"wav", "import", "--cut", Path("s3.bin"), Path("long.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("cut to 1.67 s of room"), std::string::npos) << run.out;
    EXPECT_TRUE(OnlySampleChanged(ReadAll(Path("s3.bin")), false));
    EXPECT_NEAR(soundtest::MeasuredHertz(Sample(ReadAll(Path("s3.bin"))), kRate, 500, 24000), 300, 6);

    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    // The other kinds of file the importer reads, made by sox from one recording.
    WriteFile(Path("short.wav"), soundtest::PcmWav(48000, 16, 1, soundtest::Sine(900, 48000, 0.5)));
    const std::pair<const char*, const char*> kinds[] = {
        {"short.flac", "48000 Hz FLAC 16-bit mono"},
        {"short.aiff", "48000 Hz AIFF 16-bit mono"},
        {"short.ogg", "48000 Hz Ogg Vorbis mono"},
    };
    for (const auto& [name, source] : kinds) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Shell("sox", {Path("short.wav"), Path(name)}).status, 0);
        run = Run({"wav", "import", Path("s3.bin"), Path(name)});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(std::string("converted from ") + source + ", 0.50 s"), std::string::npos) << run.out;
        const Bytes sample = Sample(ReadAll(Path("s3.bin")));
        EXPECT_NEAR(soundtest::MeasuredHertz(sample, kRate, 200, 7000), 900, 18);
        EXPECT_EQ(sample[kSampleLength - 1], 0x80);
    }
}

#ifdef ZORPTOOL_STAGE_PICTURES
TEST_F(WavCommand, StagesPngDrawsEveryStageCellForCell)
{
    // Stage k: a diagonal of each object code, so every picture differs.
    for (int k = 0; k < 8; ++k) {
        uint8_t* record = image_.data() + 0x6A0E0 + kStageRecordSize * k;
        for (int i = 0; i < kStageCells; ++i)
            record[i] = static_cast<uint8_t>((i / 32 + i % 32 + k) % 7); // 6 has no picture
    }
    WriteFile(Path("s3.bin"), image_);
    const ToolRun run = Run({"stages", "png", Path("s3.bin"), Path("pictures")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "drew 8 stages to " + Path("pictures") + " (384 x 384 PNG each)\n");
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        const QImage picture(QString::fromStdString(Path("pictures/stage0" + std::to_string(k + 1) + ".png")));
        ASSERT_EQ(picture.size(), QSize(384, 384));
        const uint8_t* record = image_.data() + 0x6A0E0 + kStageRecordSize * k;
        const int startColumn = record[1026], startRow = record[1028];
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                if (column == startColumn && row == startRow)
                    continue; // the start marker covers part of this cell
                const int code = record[CellIndex(column, row)];
                EXPECT_EQ(stagecheck::ShownCode(picture, column, row, ui::CellBackground(column, row)),
                          code <= Yellow ? code : int(Empty));
            }
        }
    }
}
#endif
