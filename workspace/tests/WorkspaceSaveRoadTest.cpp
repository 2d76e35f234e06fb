// The one save road of the workspace: one write per Save (the palette
// included), the header checksum shown and fixed through the same write, the
// question before overwriting a file changed on disk, and the read-only
// workspace when the template was made for another revision.
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <set>

#include "WorkspaceFixture.h"
#include "palette/PalEdit.h"
#include "rom/RomSave.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kPalette = 0x2000; // 16 colours
constexpr size_t kImageSize = 0x20000;
// Sonic 2's 96-character title field (game facts, Table H1).
std::string Sonic2Title()
{
    std::string half = "SONIC THE" + std::string(13, ' ') + "HEDGEHOG 2";
    half.resize(48, ' ');
    return half + half;
}

Bytes Image(const std::string& serial)
{
    Bytes image = MakeGenesisImage(kImageSize, Sonic2Title(), serial);
    for (int i = 0; i < 16; ++i)
        Put(image, kPalette + 2 * i, {0x00, 0x22});
    return image;
}

QStringList Template(const QStringList& extra = {})
{
    QStringList lines{QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE"), QStringLiteral("GAME: S2"),
                      QStringLiteral("ZORP-II VERSION: 0.0.13")};
    lines += extra;
    lines += {QStringLiteral("PALEDIT"), QStringLiteral("Emerald Hill: 0x2000: 16"), QStringLiteral("ENDFRAME")};
    return lines;
}

const QStringList kFitsRev01 = {QStringLiteral("FITS"), QStringLiteral("REVISION: Sonic the Hedgehog 2 REV01"),
                                QStringLiteral("TEXT: 0x180: GM 00001051-01"), QStringLiteral("ENDFRAME")};

// Offsets where two images differ.
std::set<size_t> Changed(const Bytes& a, const Bytes& b)
{
    std::set<size_t> at;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            at.insert(i);
    return at;
}

bool OnlyPaletteAndChecksum(const std::set<size_t>& changed, bool checksum)
{
    bool palette = false;
    bool sum = false;
    for (size_t at : changed) {
        if (at >= kPalette && at < kPalette + 32)
            palette = true;
        else if (at == 0x18E || at == 0x18F)
            sum = true;
        else
            return false;
    }
    return palette && sum == checksum;
}

struct Workspace {
    Harness h;
    QString rom;
    Bytes original;
    QPointer<frmZorpII> window;

    explicit Workspace(const Bytes& image, const QStringList& templateLines = Template(), bool fixOnSave = false)
        : rom(h.path(QStringLiteral("s2.bin"))), original(image)
    {
        h.scripted.preferences.setValue(QStringLiteral("FixChecksumOnSave"), fixOnSave ? "1" : "0");
        RomDefinitionsLoad definitions = LoadRomDefinitionsFile(std::string(ZORP_SOURCE_DIR) + "/data/ROM_DEF.RDEF");
        h.context.definitions = definitions.table;
        WriteBytes(rom, image);
        WriteTemplate(h.path(QStringLiteral("S2.ZORP")), templateLines);
    }
    ~Workspace() { delete window.data(); }

    void open() { window = h.open(h.path(QStringLiteral("S2.ZORP")), rom); }
    void editPalette() const
    {
        button(window, QStringLiteral("PalEdit"))->trigger();
        auto* slider = find<QSlider>(window, QStringLiteral("hscColor_0"));
        slider->setValue(slider->value() == slider->maximum() ? 0 : slider->maximum());
    }
    QString status() const { return find<QLabel>(window, QStringLiteral("lblChecksumStatus"))->text(); }
};

} // namespace

class WorkspaceSaveRoadTest : public QObject {
    Q_OBJECT

private slots:
    void checksumSettingDecidesWhatSaveWrites_data();
    void checksumSettingDecidesWhatSaveWrites();
    void fixChecksumChangesOnlyTheChecksum();
    void changedOnDiskIsAskedBeforeOverwriting();
    void templateOfAnotherRevisionNeverWrites_data();
    void templateOfAnotherRevisionNeverWrites();
};

void WorkspaceSaveRoadTest::checksumSettingDecidesWhatSaveWrites_data()
{
    QTest::addColumn<bool>("fixOnSave");
    QTest::newRow("off") << false;
    QTest::newRow("on") << true;
}

// A palette edit and Save: one file replacement, exactly the edited bytes,
// plus the checksum word when the setting is on.
void WorkspaceSaveRoadTest::checksumSettingDecidesWhatSaveWrites()
{
    QFETCH(bool, fixOnSave);
    Workspace w(Image("GM 00001051-01"), Template(), fixOnSave);
    QVERIFY(!HeaderChecksumOf(w.original).matches());
    w.open();
    QVERIFY(w.window);
    QCOMPARE(find<QAction>(w.window, QStringLiteral("FixChecksumOnSave"))->isChecked(), fixOnSave);
    QVERIFY2(w.status().contains(QStringLiteral("red screen")), qPrintable(w.status()));
    w.editPalette();

    const uint64_t before = FileReplacementsForTesting();
    QVERIFY(w.window->SaveROM(w.rom));
    QCOMPARE(FileReplacementsForTesting() - before, uint64_t{1});
    QCOMPARE(w.h.scripted.messages.asked.size(), 0);
    const Bytes saved = ReadBytes(w.rom);
    QVERIFY(OnlyPaletteAndChecksum(Changed(w.original, saved), fixOnSave));
    QCOMPARE(HeaderChecksumOf(saved).matches(), fixOnSave);
    QCOMPARE(w.status().contains(QStringLiteral("matches")), fixOnSave);
    QVERIFY(!find<PalEdit>(w.window, QStringLiteral("PalEdit"))->PaletteModified());
}

void WorkspaceSaveRoadTest::fixChecksumChangesOnlyTheChecksum()
{
    Workspace w(Image("GM 00001051-01"));
    w.open();
    button(w.window, QStringLiteral("FixChecksum"))->trigger();
    QCOMPARE(Changed(w.original, ReadBytes(w.rom)), (std::set<size_t>{0x18E, 0x18F}));
    QVERIFY(HeaderChecksumOf(ReadBytes(w.rom)).matches());
    QVERIFY(w.status().contains(QStringLiteral("matches")));

    // With an unsaved edit it asks; No writes the checksum alone and keeps
    // the edit unsaved.
    w.editPalette();
    const Bytes fixed = ReadBytes(w.rom);
    w.h.scripted.messages.answer(Answer::No);
    button(w.window, QStringLiteral("FixChecksum"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    QCOMPARE(w.h.scripted.messages.asked[0].title, QStringLiteral("Unsaved Edits"));
    QCOMPARE(w.h.scripted.messages.asked[0].buttons, Buttons::YesNoCancel);
    QVERIFY(ReadBytes(w.rom) == fixed);
    QVERIFY(find<PalEdit>(w.window, QStringLiteral("PalEdit"))->PaletteModified());
    // Yes saves the edit and the checksum in one write.
    w.h.scripted.messages.answer(Answer::Yes);
    button(w.window, QStringLiteral("FixChecksum"))->trigger();
    QVERIFY(OnlyPaletteAndChecksum(Changed(fixed, ReadBytes(w.rom)), true));
    QVERIFY(HeaderChecksumOf(ReadBytes(w.rom)).matches());
}

void WorkspaceSaveRoadTest::changedOnDiskIsAskedBeforeOverwriting()
{
    Workspace w(Image("GM 00001051-01"));
    w.open();
    w.editPalette();
    // Another program changes a byte the workspace does not edit.
    Bytes changed = w.original;
    changed[0x5000] ^= 0xFF;
    QVERIFY(WriteBytes(w.rom, changed));

    w.h.scripted.messages.answer(Answer::No);
    QVERIFY(!w.window->SaveROM(w.rom));
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    const MessageRequest& asked = w.h.scripted.messages.asked[0];
    QCOMPARE(asked.title, QStringLiteral("ROM Changed on Disk"));
    QVERIFY(asked.text.contains(w.rom));
    QCOMPARE(asked.icon, Icon::Exclamation);
    QCOMPARE(asked.buttons, Buttons::YesNo);
    QVERIFY(ReadBytes(w.rom) == changed);
    QVERIFY(find<PalEdit>(w.window, QStringLiteral("PalEdit"))->PaletteModified());

    // Yes writes the edits onto the file as it is now; a later save does not ask.
    w.h.scripted.messages.answer(Answer::Yes);
    QVERIFY(w.window->SaveROM(w.rom));
    const std::set<size_t> diff = Changed(changed, ReadBytes(w.rom));
    QVERIFY(!diff.empty() && *diff.begin() >= kPalette && *diff.rbegin() < kPalette + 32);
    QVERIFY(w.window->SaveROM(w.rom));
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
}

void WorkspaceSaveRoadTest::templateOfAnotherRevisionNeverWrites_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("read-only") << int(Answer::Yes);
    QTest::newRow("another template") << int(Answer::No);
    QTest::newRow("close") << int(Answer::Cancel);
}

// A template made for REV01 on a REV00 image: explained in plain words;
// read-only, another template, or closing.
void WorkspaceSaveRoadTest::templateOfAnotherRevisionNeverWrites()
{
    QFETCH(int, answer);
    Workspace w(Image("GM 00001051-00"), Template(kFitsRev01));
    QStringList fitting = Template({QStringLiteral("FITS"), QStringLiteral("TEXT: 0x180: GM 00001051-00"),
                                    QStringLiteral("ENDFRAME")});
    WriteTemplate(w.h.path(QStringLiteral("REV00.ZORP")), fitting);
    w.h.scripted.messages.answer(Answer(answer));
    if (Answer(answer) == Answer::No)
        w.h.scripted.files.choose(w.h.path(QStringLiteral("REV00.ZORP")));
    w.open();
    flushDeletes();

    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    const MessageRequest& asked = w.h.scripted.messages.asked[0];
    QCOMPARE(asked.title, QStringLiteral("Template Does Not Fit"));
    QVERIFY2(asked.text.contains(QStringLiteral("made for Sonic the Hedgehog 2 REV01, but this ROM is Sonic the "
                                                "Hedgehog 2 REV00")),
             qPrintable(asked.text));
    QVERIFY(asked.text.contains(QStringLiteral("\"GM 00001051-00\"")));
    QCOMPARE(asked.icon, Icon::Exclamation);
    QCOMPARE(asked.buttons, Buttons::YesNoCancel);

    if (Answer(answer) == Answer::Cancel) {
        QVERIFY(!w.window);
        QVERIFY(ReadBytes(w.rom) == w.original);
        return;
    }
    QVERIFY(w.window);
    if (Answer(answer) == Answer::No) {
        QVERIFY(!w.window->readOnly());
        QCOMPARE(w.window->TemplateFile(), w.h.path(QStringLiteral("REV00.ZORP")));
        w.editPalette();
        QVERIFY(w.window->SaveROM(w.rom));
        QVERIFY(OnlyPaletteAndChecksum(Changed(w.original, ReadBytes(w.rom)), false));
        return;
    }
    QVERIFY(w.window->readOnly());
    QVERIFY(!button(w.window, QStringLiteral("Save"))->isEnabled());
    QVERIFY(!button(w.window, QStringLiteral("FixChecksum"))->isEnabled());
    w.editPalette();
    QVERIFY(!w.window->SaveROM(w.rom));
    QCOMPARE(w.h.scripted.messages.asked.last().title, QStringLiteral("Read-Only"));
    // The palette editor's own save goes the same road and is refused too.
    QVERIFY(!find<PalEdit>(w.window, QStringLiteral("PalEdit"))->SavePalette());
    QVERIFY(ReadBytes(w.rom) == w.original);
    // Restore keeps it read-only without asking again.
    const int asked_before = w.h.scripted.messages.asked.size();
    button(w.window, QStringLiteral("Restore"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), asked_before);
    QVERIFY(w.window->readOnly());
}

QTEST_MAIN(WorkspaceSaveRoadTest)
#include "WorkspaceSaveRoadTest.moc"
