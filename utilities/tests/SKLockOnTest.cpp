// The lock-on combiner window, driven through scripted dialogs: the rows, the
// refusal of other games, the notes, the create button and the combined files.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "UtilityTestSupport.h"
#include "frmSKLockOn.h"
#include "rom/LockOn.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp;
using namespace zorp::ui;
using namespace utiltest;

namespace {

const QString kFilter = "Binary ROM Files (*.BIN)|*.BIN";

QString Notes(const std::string& id, uint64_t size)
{
    return QString::fromStdString(LockOnNotesText(id, size)).replace("\r\n", "\n");
}

} // namespace

class SKLockOnTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithEmptyRows();
    void otherGameRefusedAsSK();
    void sonicTwo_data();
    void sonicTwo();
    void sonicThreeGetsSram();
    void sonicOneAndUnknownAreAppended_data();
    void sonicOneAndUnknownAreAppended();
    void lockOnImageOver2MiB();
    void shortSKImageZeroFilled();
    void missingExtraImageWritesNothing_data();
    void missingExtraImageWritesNothing();
    void emptyAndMissingInputsReported();
    void unwritableOutputReported();
    void missingDefinitionsReported();
    void cancelledCreateWritesNothing();
    void screenshot();

private:
    QLabel* label(int row) const { return window_->findChild<QLabel*>(QString("lblROM_%1").arg(row)); }
    QString text(int row) const { return window_->findChild<QLineEdit*>(QString("txtROM_%1").arg(row))->text(); }
    QString notes() const { return window_->findChild<QPlainTextEdit*>("txtROMNotes")->toPlainText(); }
    bool createEnabled() const { return window_->findChild<QPushButton*>("cmdROM_2")->isEnabled(); }
    void choose(int row, const std::string& file);
    void chooseBoth(const Bytes& sk, const Bytes& other);
    Bytes create(const std::string& file);
    void expectMessage(int index, const QString& title, Icon icon);

    std::unique_ptr<ProgramDir> dir_;
    std::unique_ptr<ScriptedPlatform> platform_;
    std::unique_ptr<frmSKLockOn> window_;
};

void SKLockOnTest::init()
{
    dir_ = std::make_unique<ProgramDir>();
    platform_ = std::make_unique<ScriptedPlatform>();
    window_ = std::make_unique<frmSKLockOn>(platform_->platform());
}

void SKLockOnTest::cleanup()
{
    QCOMPARE(platform_->messages.unexpected, 0);
    QCOMPARE(platform_->files.unexpected, 0);
    window_.reset();
    platform_.reset();
    dir_.reset();
}

void SKLockOnTest::choose(int row, const std::string& file)
{
    platform_->files.choose(dir_->path(file));
    Click(*window_, row == 0 ? "cmdROM_0" : "cmdROM_1");
}

void SKLockOnTest::chooseBoth(const Bytes& sk, const Bytes& other)
{
    WriteFile(dir_->file("sk.bin"), sk);
    WriteFile(dir_->file("other.bin"), other);
    choose(0, "sk.bin");
    choose(1, "other.bin");
}

// Creates the combination as file and returns its bytes, checking the dialog
// and the "Locked On" confirmation.
Bytes SKLockOnTest::create(const std::string& file)
{
    const int asked = int(platform_->messages.asked.size());
    platform_->files.choose(dir_->path(file));
    platform_->messages.answer(Answer::Ok);
    auto* button = window_->findChild<QPushButton*>("cmdROM_2");
    if (!button->isEnabled())
        return {};
    button->click();
    const FileDialogRequest& r = platform_->files.asked.last();
    if (r.mode != FileDialogRequest::Mode::Save || r.title != "Select ROM to Create" || r.filter != kFilter ||
        !r.confirmOverwrite)
        return {};
    if (platform_->messages.asked.size() != asked + 1)
        return {};
    const MessageRequest& m = platform_->messages.asked.last();
    if (m.title != "Locked On" || m.text != "The ROMs have been locked on." || m.icon != Icon::Information ||
        m.buttons != Buttons::Ok)
        return {};
    return ReadAll(dir_->path(file));
}

void SKLockOnTest::expectMessage(int index, const QString& title, Icon icon)
{
    QVERIFY(platform_->messages.asked.size() > index);
    QCOMPARE(platform_->messages.asked[index].title, title);
    QCOMPARE(platform_->messages.asked[index].icon, icon);
    QCOMPARE(platform_->messages.asked[index].buttons, Buttons::Ok);
}

void SKLockOnTest::startsWithEmptyRows()
{
    QCOMPARE(window_->windowTitle(), QString("S&K Lock-On ROM Combiner"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(window_->findChild<QWidget*>(QString("picROM_%1").arg(i)));
    const char* captions[] = {"Browse...", "Browse...", "Create ROM"};
    for (int i = 0; i < 3; ++i) {
        auto* button = window_->findChild<QPushButton*>(QString("cmdROM_%1").arg(i));
        QVERIFY(button);
        QCOMPARE(button->text(), QString(captions[i]));
        QCOMPARE(button->accessibleName(), QString(captions[i]));
    }
    QCOMPARE(label(0)->text(), QString("Select S&K ROM (Not Selected)"));
    QCOMPARE(label(1)->text(), QString("Select Lock-On ROM (Not Selected)"));
    QVERIFY(!label(0)->font().bold());
    QVERIFY(!label(1)->font().bold());
    QCOMPARE(text(0), QString());
    QCOMPARE(text(1), QString());
    QCOMPARE(window_->findChild<QLabel*>("lblROMNotesTitle")->text(), QString("Notes about ROM combination"));
    QCOMPARE(notes(), QString());
    QVERIFY(!createEnabled());
}

void SKLockOnTest::otherGameRefusedAsSK()
{
    WriteFile(dir_->file("s3.bin"), GameImage(0x200000, Sonic3()));
    platform_->messages.answer(Answer::Ok);
    choose(0, "s3.bin");

    const FileDialogRequest& r = platform_->files.asked[0];
    QCOMPARE(r.title, QString("Select Sonic & Knuckles ROM"));
    QCOMPARE(r.filter, kFilter);
    QCOMPARE(r.mode, FileDialogRequest::Mode::Open);
    QVERIFY(r.mustExist);

    expectMessage(0, "Not S&K ROM", Icon::Critical);
    QCOMPARE(platform_->messages.asked[0].text, QString("The selected ROM is not Sonic & knuckles or\n"
                                                        "an already locked-on ROM. Please select a\n"
                                                        "Sonic & Knuckles ROM."));
    QCOMPARE(label(0)->text(), QString("Select S&K ROM (Not Selected)"));
    QVERIFY(!label(0)->font().bold());
    QCOMPARE(text(0), QString());

    // A refusal after a good choice keeps the good one.
    WriteFile(dir_->file("sk.bin"), GameImage(0x200000, SonicKnuckles()));
    choose(0, "sk.bin");
    QCOMPARE(label(0)->text(), QString("Select S&K ROM (Selected)"));
    QVERIFY(label(0)->font().bold());
    QCOMPARE(label(0)->accessibleName(), QString("Select S&K ROM (Selected)"));
    QCOMPARE(text(0), dir_->path("sk.bin"));
    QVERIFY(!createEnabled()); // the lock-on row is still empty
    platform_->messages.answer(Answer::Ok);
    choose(0, "s3.bin");
    QCOMPARE(platform_->messages.asked.size(), 2);
    QCOMPARE(text(0), dir_->path("sk.bin"));
    QVERIFY(label(0)->font().bold());
}

void SKLockOnTest::sonicTwo_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("warning");
    QTest::newRow("1 MiB") << 0x100000 << false;
    QTest::newRow("1.25 MiB") << 0x140000 << true;
}

void SKLockOnTest::sonicTwo()
{
    QFETCH(int, size);
    QFETCH(bool, warning);
    const Bytes extra = NoiseBytes(kS2ExtraSize, 99);
    WriteFile(dir_->file(kS2ExtraFileName), extra);
    const Bytes sk = GameImage(0x200000, SonicKnuckles(), 1);
    const Bytes s2 = GameImage(size_t(size), Sonic2(), 2);
    chooseBoth(sk, s2);

    QCOMPARE(platform_->files.asked[1].title, QString("Select Lock-On ROM"));
    QCOMPARE(platform_->files.asked[1].filter, kFilter);
    QVERIFY(platform_->files.asked[1].mustExist);
    QCOMPARE(label(1)->text(), QString("Select Lock-On ROM (Selected - Sonic the Hedgehog 2)"));
    QVERIFY(label(1)->font().bold());
    QCOMPARE(text(1), dir_->path("other.bin"));
    QCOMPARE(notes(), Notes("S2", uint64_t(size)));
    QCOMPARE(notes().contains("\n\nWARNING: The selected Sonic 2 ROM is larger than 1MB."), warning);
    QVERIFY(createEnabled());

    const Bytes out = create("combined.bin");
    QCOMPARE(out.size(), size_t(0x340000));
    QCOMPARE(out[0x3B5], uint8_t(0x02));
    QCOMPARE(out[0x433], uint8_t(0x2C));
    QVERIFY(Slice(out, 0, 0x3B5) == Slice(sk, 0, 0x3B5));
    QVERIFY(Slice(out, 0x434, 0x200000 - 0x434) == Slice(sk, 0x434, 0x200000 - 0x434));
    QVERIFY(Slice(out, 0x200000, 0x100000) == Slice(s2, 0, 0x100000));
    QVERIFY(Slice(out, 0x300000, kS2ExtraSize) == extra);

    // The choices stay: a second file can be made at once.
    QVERIFY(create("again.bin") == out);
}

void SKLockOnTest::sonicThreeGetsSram()
{
    const Bytes sk = GameImage(0x200000, SonicKnuckles(), 3);
    const Bytes s3 = GameImage(0x200000, Sonic3(), 4);
    chooseBoth(sk, s3);
    QCOMPARE(label(1)->text(), QString("Select Lock-On ROM (Selected - Sonic the Hedgehog 3)"));
    QCOMPARE(notes(), Notes("S3", 0x200000));
    const Bytes out = create("s3k.bin");
    QCOMPARE(out.size(), size_t(0x400000));
    const Bytes sram{0x52, 0x41, 0xF8, 0x20, 0x20, 0x20, 0x00, 0x01, 0x20, 0x20, 0x03, 0xFF, 0x20, 0x20, 0x20, 0x20,
                     0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x00, 0x01, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    QVERIFY(Slice(out, 0x1B0, 32) == sram);
    QVERIFY(Slice(out, 0x100, 0xB0) == Slice(sk, 0x100, 0xB0)); // the rest of the header is S&K's
    QVERIFY(Slice(out, 0x1D0, 0x30) == Slice(sk, 0x1D0, 0x30));
    QCOMPARE(out[0x3B5], uint8_t(0x02));
    QCOMPARE(out[0x433], uint8_t(0x2C));
    QVERIFY(Slice(out, 0x200000, 0x200000) == s3);
}

void SKLockOnTest::sonicOneAndUnknownAreAppended_data()
{
    QTest::addColumn<int>("game"); // index into the headers below
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("id");
    QTest::newRow("S1") << 0 << "Select Lock-On ROM (Selected - Sonic the Hedgehog)" << "S1";
    QTest::newRow("S1_J") << 1 << "Select Lock-On ROM (Selected - Sonic the Hedgehog (REV01))" << "S1_J";
    QTest::newRow("unknown") << 2 << "Select Lock-On ROM (Selected - Unknown)" << "U";
}

void SKLockOnTest::sonicOneAndUnknownAreAppended()
{
    QFETCH(int, game);
    QFETCH(QString, caption);
    QFETCH(QString, id);
    const GameHeader headers[] = {Sonic1Rev00(), Sonic1Rev01(), OtherGame()};
    const Bytes sk = GameImage(0x200000, SonicKnuckles(), 5);
    const Bytes other = GameImage(0x80000, headers[game], 6);
    chooseBoth(sk, other);
    QCOMPARE(label(1)->text(), caption);
    QCOMPARE(notes(), Notes(id.toStdString(), other.size()));
    QVERIFY(notes().contains("\"NO WAY!\""));
    const Bytes out = create("out.bin");
    QCOMPARE(out.size(), size_t(0x280000));
    QCOMPARE(out[0x3B5], uint8_t(0x02));
    QCOMPARE(out[0x433], uint8_t(0x2C));
    QVERIFY(Slice(out, 0x1B0, 32) == Slice(sk, 0x1B0, 32));
    QVERIFY(Slice(out, 0x200000, other.size()) == other);
}

void SKLockOnTest::lockOnImageOver2MiB()
{
    const Bytes sk = GameImage(0x200000, SonicKnuckles(), 7);
    const Bytes big = GameImage(0x280000, OtherGame(), 8);
    chooseBoth(sk, big);
    QCOMPARE(notes(), Notes("U", 0x280000));
    QVERIFY(notes().startsWith("The lock-on ROM is larger than 2MB."));
    const Bytes out = create("big.bin");
    QCOMPARE(out.size(), size_t(0x480000));
    QCOMPARE(out[0x3B5], uint8_t(0x02));
    QCOMPARE(out[0x433], uint8_t(0x2C));
    QVERIFY(Slice(out, 0x200000, big.size()) == big);

    // Choosing another lock-on image replaces the notes.
    WriteFile(dir_->file("s3.bin"), GameImage(0x200000, Sonic3(), 9));
    choose(1, "s3.bin");
    QCOMPARE(notes(), Notes("S3", 0x200000));
}

void SKLockOnTest::shortSKImageZeroFilled()
{
    const Bytes sk = GameImage(0x100000, SonicKnuckles(), 10);
    const Bytes s3 = GameImage(0x200000, Sonic3(), 11);
    chooseBoth(sk, s3);
    QVERIFY(createEnabled());
    const Bytes out = create("out.bin");
    QCOMPARE(out.size(), size_t(0x400000));
    QVERIFY(Slice(out, 0x434, 0x100000 - 0x434) == Slice(sk, 0x434, 0x100000 - 0x434));
    QVERIFY(std::all_of(out.begin() + 0x100000, out.begin() + 0x200000, [](uint8_t b) { return b == 0; }));
    QCOMPARE(out[0x3B5], uint8_t(0x02));
    QCOMPARE(out[0x433], uint8_t(0x2C));
}

void SKLockOnTest::missingExtraImageWritesNothing_data()
{
    QTest::addColumn<int>("extraSize"); // -1: no file
    QTest::addColumn<QString>("found");
    QTest::newRow("missing") << -1 << "There is no such file.";
    QTest::newRow("short") << 1024 << "That file is 1,024 bytes long.";
    QTest::newRow("long") << int(kS2ExtraSize) + 1 << "That file is 262,145 bytes long.";
}

void SKLockOnTest::missingExtraImageWritesNothing()
{
    QFETCH(int, extraSize);
    QFETCH(QString, found);
    if (extraSize >= 0)
        WriteFile(dir_->file(kS2ExtraFileName), NoiseBytes(size_t(extraSize), 1));
    chooseBoth(GameImage(0x200000, SonicKnuckles(), 12), GameImage(0x100000, Sonic2(), 13));
    QVERIFY(createEnabled());
    platform_->messages.answer(Answer::Ok);
    Click(*window_, "cmdROM_2");

    QCOMPARE(platform_->files.asked.size(), 2); // no save dialog
    QCOMPARE(platform_->messages.asked.size(), 1);
    expectMessage(0, "Sonic 2 Extra ROM Missing", Icon::Critical);
    const QString expected = "Knuckles in Sonic 2 needs the extra 256K ROM image of the Sonic & Knuckles\n"
                             "cartridge, which cannot be shipped with ZORP-II. Please save that image\n"
                             "(exactly 262,144 bytes) as this file:\n" +
                             dir_->path("S2K_EXTRA.BIN") + "\n\n" + found + "\nNo ROM has been created.";
    QCOMPARE(platform_->messages.asked[0].text, expected);
    QCOMPARE(QDir(dir_->path("")).entryList({"*.BIN", "*.bin"}, QDir::Files).size(), extraSize >= 0 ? 3 : 2);
}

void SKLockOnTest::emptyAndMissingInputsReported()
{
    WriteFile(dir_->file("sk.bin"), GameImage(0x200000, SonicKnuckles(), 14));
    WriteFile(dir_->file("s3.bin"), GameImage(0x200000, Sonic3(), 15));
    WriteFile(dir_->file("empty.bin"), {});
    choose(0, "sk.bin");
    choose(1, "s3.bin");
    const QString notesBefore = notes();

    const struct {
        int row;
        const char* file;
        const char* reason;
    } cases[] = {{0, "empty.bin", "It is empty."},
                 {1, "empty.bin", "It is empty."},
                 {1, "gone.bin", "It does not exist or cannot be opened."}};
    int index = 0;
    for (const auto& c : cases) {
        platform_->messages.answer(Answer::Ok);
        choose(c.row, c.file);
        expectMessage(index, "Error Reading ROM", Icon::Critical);
        QCOMPARE(platform_->messages.asked[index].text,
                 "Error: The file \"" + dir_->path(c.file) + "\" could not be read.\n" + c.reason);
        ++index;
    }
    // Both rows kept their files.
    QCOMPARE(text(0), dir_->path("sk.bin"));
    QCOMPARE(text(1), dir_->path("s3.bin"));
    QCOMPARE(notes(), notesBefore);
    QVERIFY(createEnabled());
}

void SKLockOnTest::unwritableOutputReported()
{
    chooseBoth(GameImage(0x200000, SonicKnuckles(), 16), GameImage(0x80000, Sonic1Rev00(), 17));
    const QString target = dir_->path("missing-folder/out.bin");
    platform_->files.choose(target);
    platform_->messages.answer(Answer::Ok);
    Click(*window_, "cmdROM_2");
    QCOMPARE(platform_->messages.asked.size(), 1);
    expectMessage(0, "Error Writing ROM", Icon::Critical);
    const QStringList lines = platform_->messages.asked[0].text.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], "Error: The combined ROM could not be written to \"" + target + "\".");
    QVERIFY(!lines[1].isEmpty());
    QVERIFY(!QFile::exists(target));
}

void SKLockOnTest::missingDefinitionsReported()
{
    WriteFile(dir_->file("sk.bin"), GameImage(0x200000, SonicKnuckles(), 18));
    QVERIFY(QFile::remove(dir_->path("ROM_DEF.RDEF")));
    platform_->messages.answer(Answer::Ok);
    choose(0, "sk.bin");
    expectMessage(0, "ROM Definitions File Not Found", Icon::Critical);
    QVERIFY(!label(0)->font().bold());
    QCOMPARE(text(0), QString());

    // The file is read again on the next choice.
    WriteText(dir_->file("ROM_DEF.RDEF"), DefinitionsText());
    choose(0, "sk.bin");
    QVERIFY(label(0)->font().bold());
}

void SKLockOnTest::cancelledCreateWritesNothing()
{
    chooseBoth(GameImage(0x200000, SonicKnuckles(), 19), GameImage(0x80000, Sonic1Rev00(), 20));
    platform_->files.cancel();
    Click(*window_, "cmdROM_2");
    QCOMPARE(platform_->files.asked.size(), 3);
    QVERIFY(platform_->messages.asked.isEmpty());
    QCOMPARE(QDir(dir_->path("")).entryList(QDir::Files).size(), 3); // ROM_DEF.RDEF, sk.bin, other.bin
}

void SKLockOnTest::screenshot()
{
    if (qEnvironmentVariableIsEmpty("ZORP_SCREENSHOT_DIR"))
        QSKIP("set ZORP_SCREENSHOT_DIR to save the window");
    WriteFile(dir_->file("SK.BIN"), GameImage(0x200000, SonicKnuckles(), 21));
    WriteFile(dir_->file("SONIC2.BIN"), GameImage(0x140000, Sonic2(), 22));
    choose(0, "SK.BIN");
    choose(1, "SONIC2.BIN");
    SaveScreenshot(*window_, "lockon.png");
}

QTEST_MAIN(SKLockOnTest)
#include "SKLockOnTest.moc"
