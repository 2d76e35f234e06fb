// The ROM converter window, driven through scripted dialogs: the controls,
// the loading of each layout, the header report, padding, the checksum fix
// and the written files.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "UtilityTestSupport.h"
#include "frmROMConv.h"
#include "rom/RomFormat.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp;
using namespace zorp::ui;
using namespace utiltest;

namespace {

const QString kOpenFilter =
    "All Genesis ROMs (*.BIN;*.GEN;*.32X;*.SMD;*.1;*.MGD;*.MD)|*.BIN;*.GEN;*.32X;*.SMD;*.1;*.MGD;*.MD|"
    "Binary ROM Files (*.BIN;*.GEN;*.32X)|*.BIN;*.GEN|Super Magic Drive Interleaved ROMs (*.SMD)|*.SMD|"
    "Super Magic Drive Multi-Load ROMs (*.1)|*.1|Multi Game Doctor Interleaved ROMs (*.MGD;*.MD)|*.MGD;*.MD";

void SetChecksum(Bytes& image, uint16_t value)
{
    image[0x18E] = uint8_t(value >> 8);
    image[0x18F] = uint8_t(value & 0xFF);
}

uint16_t ChecksumAt(const Bytes& image)
{
    return uint16_t(image.at(0x18E) << 8 | image.at(0x18F));
}

// A Sonic 2 image whose stored checksum is right (or off by one).
Bytes Sonic2Image(size_t size, bool rightChecksum, uint32_t seed = 1)
{
    Bytes image = GameImage(size, Sonic2(), seed);
    const uint16_t actual = GenesisChecksum(image);
    SetChecksum(image, rightChecksum ? actual : uint16_t(actual + 1));
    return image;
}

Bytes Padded(Bytes image)
{
    PadRomImage(image);
    return image;
}

// Interleaves an image into an SMD series of parts of partBlocks 16 KB blocks.
void WriteSmdSeries(const ProgramDir& dir, const std::string& stem, const Bytes& image, size_t partBlocks)
{
    const Bytes body = InterleaveSMD(image);
    const size_t partSize = partBlocks * kSmdBlockSize;
    int part = 1;
    for (size_t at = 0; at < body.size(); at += partSize, ++part) {
        const bool last = at + partSize >= body.size();
        Bytes file = MakeSmdHeader(std::min(partSize, body.size() - at), !last);
        const Bytes chunk = Slice(body, at, partSize);
        file.insert(file.end(), chunk.begin(), chunk.end());
        WriteFile(dir.file(stem + std::to_string(part)), file);
    }
}

QString HexWord(uint16_t v)
{
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class ROMConvTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyWithEveryControl();
    void plainImageReport_data();
    void plainImageReport();
    void checksumFixLeavesImageUnchanged_data();
    void checksumFixLeavesImageUnchanged();
    void conversionsWriteEachLayout();
    void image32XPreselectsItsFilter();
    void smdSeriesJoinedFromPartOne();
    void smdSeriesMissingPartKeepsWindow();
    void binaryOverLongerFile();
    void unrecognisedFileDisablesConversion();
    void unreadableFileReported();
    void writeFailureReportedNotConverted();
    void cancelledSaveWritesNothing();
    void screenshot();

private:
    QStringList reportLines() const;
    QString label(const char* name) const { return window_->findChild<QLabel*>(name)->text(); }
    void load(const QString& path);
    Bytes convert(const char* button, const QString& path);

    std::unique_ptr<ProgramDir> dir_;
    std::unique_ptr<ScriptedPlatform> platform_;
    std::unique_ptr<frmROMConv> window_;
};

void ROMConvTest::init()
{
    dir_ = std::make_unique<ProgramDir>();
    platform_ = std::make_unique<ScriptedPlatform>();
    window_ = std::make_unique<frmROMConv>(platform_->platform());
}

void ROMConvTest::cleanup()
{
    window_.reset();
    platform_.reset();
    dir_.reset();
}

QStringList ROMConvTest::reportLines() const
{
    QStringList lines;
    auto* list = window_->findChild<QListWidget*>("lstHeader");
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void ROMConvTest::load(const QString& path)
{
    platform_->files.choose(path);
    Click(*window_, "cmdBrowse");
}

// Converts with the given button into path and returns the file's bytes,
// checking the "Converted" confirmation.
Bytes ROMConvTest::convert(const char* button, const QString& path)
{
    const int before = int(platform_->messages.asked.size());
    platform_->files.choose(path);
    platform_->messages.answer(Answer::Ok);
    Click(*window_, button);
    if (platform_->messages.asked.size() != before + 1)
        return {};
    const MessageRequest& m = platform_->messages.asked.back();
    if (m.title != "Converted" || m.icon != Icon::Information || m.buttons != Buttons::Ok)
        return {};
    return ReadAll(path);
}

void ROMConvTest::startsEmptyWithEveryControl()
{
    QCOMPARE(window_->windowTitle(), QString("ZORP-II ROM Format Conversion Utility"));
    const struct {
        const char* name;
        const char* caption;
        const char* tip;
        bool enabled;
    } buttons[] = {
        {"cmdBrowse", "Select ROM...", "", true},
        {"cmdConvBin", "Convert to Binary", "Saves the loaded ROM as a binary format ROM (required for hacking).",
         false},
        {"cmdConvSMD", "Convert to SMD", "Saves the loaded ROM as a Super Magic Drive Interleaved ROM.", false},
        {"cmdConvMGD", "Convert to Multi Game Dr.", "Saves the ROM as a Multi Game Doctor Interleaved ROM.", false},
        {"cmdConvSMDSp", "Convert to Multi-Load SMD",
         "Saves the ROM as a multi-load Super Magic Drive Interleaved ROM series (not implemented yet).", false},
    };
    for (const auto& b : buttons) {
        auto* button = window_->findChild<QPushButton*>(b.name);
        QVERIFY2(button, b.name);
        QCOMPARE(button->text(), QString(b.caption));
        QCOMPARE(button->accessibleName(), QString(b.caption));
        QCOMPARE(button->toolTip(), QString(b.tip));
        QCOMPARE(button->isEnabled(), b.enabled);
    }
    QCOMPARE(window_->findChild<QLineEdit*>("txtROMFile")->text(),
             QString("No ROM selected. Click Select ROM to select a ROM."));
    QCOMPARE(label("lblROMFormat"), QString("Format:"));
    QCOMPARE(label("lblHeader"), QString("Header information:"));
    QCOMPARE(window_->findChild<QLabel*>("lblHeader")->accessibleName(), QString("Header information:"));
    QCOMPARE(reportLines(), QStringList());
    auto* check = window_->findChild<QCheckBox*>("chkValidate");
    QVERIFY(check);
    QCOMPARE(check->text(), QString("Validate Checksum in Converted ROM"));
    QVERIFY(!check->isChecked());

    // A cancelled open dialog changes nothing.
    platform_->files.cancel();
    Click(*window_, "cmdBrowse");
    QCOMPARE(platform_->files.asked.size(), 1);
    const FileDialogRequest& r = platform_->files.asked[0];
    QCOMPARE(r.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(r.title, QString("Select ROM"));
    QCOMPARE(r.filter, kOpenFilter);
    QCOMPARE(r.filterIndex, 1);
    QVERIFY(r.mustExist);
    QCOMPARE(label("lblROMFormat"), QString("Format:"));
    QVERIFY(platform_->messages.asked.isEmpty());
}

void ROMConvTest::plainImageReport_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("rightChecksum");
    QTest::addColumn<int>("paddedSize");
    QTest::newRow("0x180000 needs no padding, checksum right") << 0x180000 << true << 1572864;
    QTest::newRow("0x180001 padded to 0x184000, checksum right") << 0x180001 << true << 1589248;
    QTest::newRow("checksum wrong") << 0x100000 << false << 0x100000;
}

void ROMConvTest::plainImageReport()
{
    QFETCH(int, size);
    QFETCH(bool, rightChecksum);
    QFETCH(int, paddedSize);

    const Bytes image = Sonic2Image(size_t(size), rightChecksum);
    WriteFile(dir_->file("s2.bin"), image);
    load(dir_->path("s2.bin"));

    QVERIFY(platform_->messages.asked.isEmpty());
    QCOMPARE(window_->findChild<QLineEdit*>("txtROMFile")->text(), dir_->path("s2.bin"));
    QCOMPARE(label("lblROMFormat"), QString("Format: Plain Binary ROM Dump"));
    for (const char* name : {"cmdConvBin", "cmdConvSMD", "cmdConvMGD"})
        QVERIFY(window_->findChild<QPushButton*>(name)->isEnabled());
    QVERIFY(!window_->findChild<QPushButton*>("cmdConvSMDSp")->isEnabled());

    const uint16_t stored = ChecksumAt(image);
    const uint16_t actual = GenesisChecksum(Padded(image)); // zero padding adds nothing
    QCOMPARE(actual == stored, rightChecksum);
    const QStringList expected{
        "Domestic name: SONIC THE             HEDGEHOG 2",
        "Overseas name: SONIC THE             HEDGEHOG 2",
        "Serial number: GM 00001051-01",
        "Country code: JUE",
        "Checksum: 0x" + HexWord(stored) + ", Actual Checksum: 0x" + HexWord(actual),
        QString("Original size: %1, Padded size: %2").arg(size).arg(paddedSize),
    };
    QCOMPARE(reportLines(), expected);

    // The binary written is the padded image.
    const Bytes written = convert("cmdConvBin", dir_->path("out.bin"));
    QCOMPARE(written.size(), size_t(paddedSize));
    QVERIFY(Slice(written, 0, image.size()) == image);
    QVERIFY(std::all_of(written.begin() + ptrdiff_t(image.size()), written.end(), [](uint8_t b) { return b == 0; }));
}

void ROMConvTest::checksumFixLeavesImageUnchanged_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("binary") << "cmdConvBin";
    QTest::newRow("SMD") << "cmdConvSMD";
    QTest::newRow("MGD") << "cmdConvMGD";
}

void ROMConvTest::checksumFixLeavesImageUnchanged()
{
    QFETCH(QString, button);
    const Bytes image = Sonic2Image(0x100000, false, 3);
    WriteFile(dir_->file("s2.bin"), image);
    load(dir_->path("s2.bin"));
    const uint16_t actual = GenesisChecksum(image);
    const QByteArray name = button.toLatin1();

    // Reads a written file back as a plain image through the same detection.
    auto plainOf = [&](const QString& path) {
        const RomFormatResult r = DetectRomFormat(ToNativePath(path));
        return r.recognised() ? r.image : Bytes();
    };

    window_->findChild<QCheckBox*>("chkValidate")->setChecked(true);
    QVERIFY(!convert(name.constData(), dir_->path("fixed.out")).empty());
    const Bytes fixed = plainOf(dir_->path("fixed.out"));
    QCOMPARE(fixed.size(), image.size());
    QCOMPARE(ChecksumAt(fixed), actual);
    Bytes expected = image;
    SetChecksum(expected, actual);
    QVERIFY(fixed == expected);

    // The loaded image kept its header: without the option the stored bytes
    // come out as they were read.
    window_->findChild<QCheckBox*>("chkValidate")->setChecked(false);
    QVERIFY(!convert(name.constData(), dir_->path("plain.out")).empty());
    QVERIFY(plainOf(dir_->path("plain.out")) == image);
    QCOMPARE(ChecksumAt(plainOf(dir_->path("plain.out"))), uint16_t(actual + 1));
    QVERIFY(reportLines().contains("Checksum: 0x" + HexWord(uint16_t(actual + 1)) + ", Actual Checksum: 0x" +
                                   HexWord(actual)));
}

void ROMConvTest::conversionsWriteEachLayout()
{
    const Bytes image = Sonic2Image(0x100000, true, 4);
    WriteFile(dir_->file("s2.bin"), image);
    load(dir_->path("s2.bin"));

    const Bytes smd = convert("cmdConvSMD", dir_->path("s2.smd"));
    QCOMPARE(smd.size(), size_t(512 + 0x100000));
    QCOMPARE(smd[0], uint8_t(0x3F)); // blocks - 1 for 1 MB
    QCOMPARE(smd[512], image[1]);        // odd bytes first in each block
    QCOMPARE(smd[512 + 8192], image[0]); // then the even ones
    QCOMPARE(platform_->files.asked.last().title, QString("Save SMD Interleaved ROM File"));
    QCOMPARE(platform_->files.asked.last().filter, QString("SMD Interleaved ROM Files (*.SMD)|*.SMD"));
    QCOMPARE(platform_->messages.asked.last().text, QString("The ROM has been converted to SMD format."));

    const Bytes mgd = convert("cmdConvMGD", dir_->path("s2.mgd"));
    QCOMPARE(mgd.size(), size_t(0x100000));
    QCOMPARE(mgd[0], image[1]);
    QCOMPARE(mgd[0x80000], image[0]);
    QCOMPARE(platform_->files.asked.last().title, QString("Save MGD Interleaved ROM File"));
    QCOMPARE(platform_->files.asked.last().filter, QString("MGD Interleaved ROM Files (*.MGD)|*.MGD"));
    QCOMPARE(platform_->messages.asked.last().text, QString("The ROM has been converted to MGD format."));

    // Each written file loads back as its layout and converts back to the image.
    const struct {
        const char* file;
        const char* label;
    } back[] = {{"s2.smd", "Format: Super Magic Drive Interleaved"}, {"s2.mgd", "Format: Multi Game Doctor Interleaved"}};
    for (const auto& b : back) {
        load(dir_->path(b.file));
        QCOMPARE(label("lblROMFormat"), QString(b.label));
        QVERIFY(convert("cmdConvBin", dir_->path("back.bin")) == image);
        QCOMPARE(platform_->messages.asked.last().text, QString("The ROM has been converted to binary."));
    }
    QCOMPARE(platform_->messages.unexpected, 0);
}

void ROMConvTest::image32XPreselectsItsFilter()
{
    Bytes image = GameImage(0x40000, Sonic2(), 5);
    Put(image, 0x100, "SEGA 32X        ");
    WriteFile(dir_->file("game.32x"), image);
    load(dir_->path("game.32x"));
    QCOMPARE(label("lblROMFormat"), QString("Format: Plain Binary ROM Dump (32X)"));
    QCOMPARE(window_->findChild<QLabel*>("lblROMFormat")->accessibleName(), label("lblROMFormat"));

    QVERIFY(convert("cmdConvBin", dir_->path("out.32x")) == image);
    const FileDialogRequest& r = platform_->files.asked.last();
    QCOMPARE(r.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(r.title, QString("Save Binary ROM File"));
    QCOMPARE(r.filter, QString("Binary ROM Files (*.BIN)|*.BIN|32X ROM Files (*.32X)|*.32X"));
    QCOMPARE(r.filterIndex, 2);

    // A Genesis image preselects the first filter again.
    WriteFile(dir_->file("s2.bin"), GameImage(0x40000, Sonic2(), 6));
    load(dir_->path("s2.bin"));
    QVERIFY(!convert("cmdConvBin", dir_->path("out.bin")).empty());
    QCOMPARE(platform_->files.asked.last().filterIndex, 1);
}

void ROMConvTest::smdSeriesJoinedFromPartOne()
{
    const Bytes image = Sonic2Image(0x60000, true, 7); // 24 blocks: three parts of 8
    WriteSmdSeries(*dir_, "GAME.", image, 8);
    load(dir_->path("GAME.2"));
    QVERIFY(platform_->messages.asked.isEmpty());
    QCOMPARE(label("lblROMFormat"), QString("Format: Super Magic Drive Interleaved (Multi-Load)"));
    QCOMPARE(reportLines().last(), QString("Original size: 393216, Padded size: 393216"));
    QCOMPARE(reportLines()[2], QString("Serial number: GM 00001051-01"));
    QVERIFY(convert("cmdConvBin", dir_->path("joined.bin")) == image);
}

void ROMConvTest::smdSeriesMissingPartKeepsWindow()
{
    const Bytes first = Sonic2Image(0x40000, true, 8);
    WriteFile(dir_->file("first.bin"), first);
    load(dir_->path("first.bin"));
    const QStringList before = reportLines();

    WriteSmdSeries(*dir_, "GAME.", Sonic2Image(0x60000, true, 9), 8);
    QFile::remove(dir_->path("GAME.2"));
    platform_->messages.answer(Answer::Ok);
    load(dir_->path("GAME.1"));

    QCOMPARE(platform_->messages.asked.size(), 1);
    const MessageRequest& m = platform_->messages.asked[0];
    QCOMPARE(m.title, QString("Error loading ROM series"));
    QCOMPARE(m.text, QString("Error loading part 2 of ROM series."));
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(m.buttons, Buttons::Ok);

    // The previous ROM is still the one shown and converted.
    QCOMPARE(window_->findChild<QLineEdit*>("txtROMFile")->text(), dir_->path("first.bin"));
    QCOMPARE(reportLines(), before);
    QVERIFY(convert("cmdConvBin", dir_->path("out.bin")) == first);
}

void ROMConvTest::binaryOverLongerFile()
{
    const Bytes image = Sonic2Image(0x8001, true, 10);
    WriteFile(dir_->file("s2.bin"), image);
    WriteFile(dir_->file("existing.bin"), NoiseBytes(0x100000, 11));
    load(dir_->path("s2.bin"));
    const Bytes written = convert("cmdConvBin", dir_->path("existing.bin"));
    QCOMPARE(written.size(), size_t(0xC000));
    QVERIFY(written == Padded(image));
    QVERIFY(platform_->files.asked.last().confirmOverwrite);
}

void ROMConvTest::unrecognisedFileDisablesConversion()
{
    WriteFile(dir_->file("s2.bin"), Sonic2Image(0x40000, true, 12));
    WriteFile(dir_->file("notes.txt"), Bytes(0x400, 'x'));
    load(dir_->path("s2.bin"));
    load(dir_->path("notes.txt"));
    QVERIFY(platform_->messages.asked.isEmpty());
    QCOMPARE(window_->findChild<QLineEdit*>("txtROMFile")->text(), dir_->path("notes.txt"));
    QCOMPARE(label("lblROMFormat"), QString("Format: Unknown (please check that this is a ROM file)"));
    QCOMPARE(reportLines(), QStringList());
    for (const char* name : {"cmdConvBin", "cmdConvSMD", "cmdConvMGD", "cmdConvSMDSp"})
        QVERIFY2(!window_->findChild<QPushButton*>(name)->isEnabled(), name);

    // A good file enables them again.
    load(dir_->path("s2.bin"));
    QVERIFY(window_->findChild<QPushButton*>("cmdConvBin")->isEnabled());
}

void ROMConvTest::unreadableFileReported()
{
    WriteFile(dir_->file("s2.bin"), Sonic2Image(0x40000, true, 13));
    load(dir_->path("s2.bin"));
    platform_->messages.answer(Answer::Ok);
    load(dir_->path("gone.bin"));
    QCOMPARE(platform_->messages.asked.size(), 1);
    const MessageRequest& m = platform_->messages.asked[0];
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(m.title, QString("Error loading ROM"));
    QVERIFY2(m.text.endsWith("\n\n" + dir_->path("gone.bin")), qPrintable(m.text));
    QCOMPARE(window_->findChild<QLineEdit*>("txtROMFile")->text(), dir_->path("s2.bin"));
    QVERIFY(window_->findChild<QPushButton*>("cmdConvBin")->isEnabled());
}

void ROMConvTest::writeFailureReportedNotConverted()
{
    WriteFile(dir_->file("s2.bin"), Sonic2Image(0x40000, true, 14));
    load(dir_->path("s2.bin"));
    const QString target = dir_->path("no-such-folder/out.bin");
    platform_->files.choose(target);
    platform_->messages.answer(Answer::Ok);
    Click(*window_, "cmdConvBin");
    QCOMPARE(platform_->messages.asked.size(), 1);
    const MessageRequest& m = platform_->messages.asked[0];
    QCOMPARE(m.title, QString("Error Writing ROM"));
    QCOMPARE(m.icon, Icon::Critical);
    QVERIFY2(m.text.startsWith("Error: The converted ROM could not be written to \"" + target + "\".\n"),
             qPrintable(m.text));
    QVERIFY(m.text.split('\n').size() == 2 && !m.text.split('\n')[1].isEmpty()); // the reason
    QVERIFY(!QFile::exists(target));
}

void ROMConvTest::cancelledSaveWritesNothing()
{
    WriteFile(dir_->file("s2.bin"), Sonic2Image(0x40000, true, 15));
    load(dir_->path("s2.bin"));
    for (const char* name : {"cmdConvBin", "cmdConvSMD", "cmdConvMGD"}) {
        platform_->files.cancel();
        Click(*window_, name);
    }
    QCOMPARE(platform_->files.asked.size(), 4);
    QVERIFY(platform_->messages.asked.isEmpty());
    QCOMPARE(QDir(dir_->path("")).entryList(QDir::Files).size(), 2); // ROM_DEF.RDEF and s2.bin
}

void ROMConvTest::screenshot()
{
    if (qEnvironmentVariableIsEmpty("ZORP_SCREENSHOT_DIR"))
        QSKIP("set ZORP_SCREENSHOT_DIR to save the window");
    WriteSmdSeries(*dir_, "SONIC2.", Sonic2Image(0x100000, false, 16), 32);
    load(dir_->path("SONIC2.1"));
    window_->findChild<QCheckBox*>("chkValidate")->setChecked(true);
    SaveScreenshot(*window_, "romconv.png");
}

QTEST_MAIN(ROMConvTest)
#include "ROMConvTest.moc"
