// Special stages in a workspace: the stage block held in memory while the
// user moves between stages, written back plain or Kosinski-compressed (with
// the question, the size check and the decode-back check), and the special
// stage file mode.
#include <QComboBox>
#include <QScrollBar>
#include <QTest>

#include "FrameTag.h"
#include "WorkspaceFixture.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "specialstage/S3SpecialStage.h"
#include "stage/S3SFile.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kImageSize = 0x20000;
constexpr size_t kStart = 0x10000;
constexpr size_t kPlaylist = 0x3000;

// Three stages: stage k has cells of code (row + column + k) % 5, start data
// (angle, column, row, rings) and non-zero "ignored" bytes 1, 3 and 5.
Bytes StageBlock(int stages = 3)
{
    Bytes block(static_cast<size_t>(stages) * 1032);
    for (int k = 0; k < stages; ++k) {
        uint8_t* record = block.data() + 1032 * k;
        for (int i = 0; i < 1024; ++i)
            record[i] = static_cast<uint8_t>((i / 32 + i % 32 + k) % 5);
        const uint8_t props[8] = {0x80, 0x11, static_cast<uint8_t>(2 + k), 0x22, static_cast<uint8_t>(3 + k), 0x33,
                                  0x00, static_cast<uint8_t>(40 + k)};
        std::copy(props, props + 8, record + 1024);
    }
    return block;
}

QStringList StageTemplate(const QStringList& stageLines)
{
    QStringList lines{QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE"), QStringLiteral("GAME: S&K"),
                      QStringLiteral("ZORP-II VERSION: 0.0.13"), QStringLiteral("S3S"),
                      QStringLiteral("STARTADDR: 0x10000")};
    lines += stageLines;
    lines += {QStringLiteral("ENDFRAME"),         QStringLiteral("PLAYLIST"),    QStringLiteral("STARTADDR: 0x3000"),
              QStringLiteral("MINSONG: 1"),       QStringLiteral("MAXSONG: 0x32"), QStringLiteral("ADDVALTOROM: 0"),
              QStringLiteral("PLAYLISTSIZE: 2"),  QStringLiteral("PLAYLISTS: 1"), QStringLiteral("SONG: Zone: 0"),
              QStringLiteral("ENDFRAME")};
    return lines;
}

struct StageWindow {
    Harness h;
    QString rom;
    Bytes image;
    QPointer<frmZorpII> window;

    StageWindow(const QStringList& stageLines, const Bytes& stageArea)
    {
        image = MakeGenesisImage(kImageSize, "SONIC & KNUCKLES", "GM MK-1563 -00");
        Put(image, kStart, stageArea);
        Put(image, kPlaylist, {0x05, 0x06});
        rom = h.path(QStringLiteral("sk.bin"));
        const QString tpl = h.path(QStringLiteral("SK.ZORP"));
        WriteBytes(rom, image);
        WriteTemplate(tpl, StageTemplate(stageLines));
        window = h.open(tpl, rom);
        window->show();
        button(window, QStringLiteral("S3S"))->trigger();
    }
    ~StageWindow() { delete window.data(); }

    S3SpecialStage* editor() const { return find<S3SpecialStage>(window, QStringLiteral("S3S")); }
    void choose(int stage) const
    {
        find<QComboBox>(editor(), QStringLiteral("cboSpecialStage"))->setCurrentIndex(stage);
    }
    void paint(const char* tool, int column, int row) const
    {
        editor()->findChild<QAction*>(QLatin1String(tool))->setChecked(true);
        QWidget* canvas = editor()->findChild<QWidget*>(QStringLiteral("picSpecialStage"));
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(column * 12 + 6, row * 12 + 6));
    }
};

StageGrid GridOf(const Bytes& block, int stage)
{
    StageGrid grid{};
    std::copy(block.begin() + 1032 * stage, block.begin() + 1032 * stage + 1024, grid.begin());
    return grid;
}

// The stage area after painting a star into cell (1, 1) of stage 0 and a
// blue sphere into cell (2, 2) of stage 2 (both cells held other objects),
// with start data written back for the two stored stages.
Bytes EditedBlock(bool startData)
{
    Bytes block = StageBlock();
    block[1 * 32 + 1] = Star;
    block[2 * 1032 + 2 * 32 + 2] = Blue;
    if (startData) {
        for (int k : {0, 2})
            for (int b : {1, 3, 5})
                block[1032 * k + 1024 + b] = 0;
    }
    return block;
}

void EditStagesZeroAndTwo(const StageWindow& w)
{
    w.paint("Star", 1, 1);
    w.choose(2);
    w.paint("Blue", 2, 2);
    w.choose(0);
}

} // namespace

class SpecialStagesTest : public QObject {
    Q_OBJECT

private slots:
    void movingBetweenStagesKeepsEdits();
    void plainBlockIsWrittenWhole_data();
    void plainBlockIsWrittenWhole();
    void unmodifiedCompressedBlockIsNotTouched();
    void compressedSaveAsksAndWritesAStreamThatDecodesBack();
    void declinedCompressionWritesEverythingElse();
    void tooLongForBothEncodersIsOutOfSpace();
    void optimalEncoderIsTriedWhenTheQuickOneMisses();
    void streamThatDoesNotDecodeBackIsNotWritten();
    void undecodableStagesAreReported();
    void partlyDecodedStagesAreShownButNeverSaved();
    void fileModeLoadsAndSavesByTheChosenFormat();
    void fileModeWithoutFormatIsRefused();
    void invalidSpecialStageFileIsReported();
    void stageFileSaveNeverReplacesAnotherFile_data();
    void stageFileSaveNeverReplacesAnotherFile();
};

void SpecialStagesTest::movingBetweenStagesKeepsEdits()
{
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("EXTRAPROPS: Y"), QStringLiteral("MULTISTAGE: Y")},
                  StageBlock());
    QCOMPARE(w.editor()->GetStage(), GridOf(StageBlock(), 0));
    const StartData start = w.editor()->GetArrowProperties();
    QCOMPARE(start.Direction, int16_t{S3S_Down});
    QCOMPARE(start.Column, 2);
    QCOMPARE(start.Row, 3);
    QCOMPARE(start.Rings, 40);
    QVERIFY(!w.editor()->StageModified());

    w.paint("Star", 1, 1);
    QVERIFY(w.editor()->StageModified());
    w.choose(2);
    QCOMPARE(w.editor()->GetStage(), GridOf(StageBlock(), 2));
    QCOMPARE(w.editor()->GetArrowProperties().Rings, 42);
    QVERIFY(w.editor()->StageModified());
    w.choose(0);
    QCOMPARE(w.editor()->GetStage()[33], uint8_t{Star});
    QVERIFY(w.editor()->StageModified());
    // Nothing reaches the file before Save.
    QVERIFY(ReadBytes(w.rom) == w.image);
}

void SpecialStagesTest::plainBlockIsWrittenWhole_data()
{
    QTest::addColumn<bool>("startData");
    QTest::newRow("with start data") << true;
    QTest::newRow("without start data") << false;
}

void SpecialStagesTest::plainBlockIsWrittenWhole()
{
    QFETCH(bool, startData);
    StageWindow w({QStringLiteral("STAGES: 3"),
                   startData ? QStringLiteral("EXTRAPROPS: Y") : QStringLiteral("EXTRAPROPS: N"),
                   QStringLiteral("MULTISTAGE: Y")},
                  StageBlock());
    EditStagesZeroAndTwo(w);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 0);
    Bytes expected = w.image;
    Put(expected, kStart, EditedBlock(startData));
    QVERIFY(ReadBytes(w.rom) == expected);
    QVERIFY(!w.editor()->StageModified());
    QCOMPARE(w.h.codec.compressCalls, 0);
}

void SpecialStagesTest::unmodifiedCompressedBlockIsNotTouched()
{
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(packed.size() + 16)},
                  packed);
    QCOMPARE(w.h.codec.decompressCalls, 1);
    QCOMPARE(w.editor()->GetStage(), GridOf(StageBlock(), 0));
    QCOMPARE(TagOf(w.editor()), QStringLiteral("Y|%1").arg(packed.size() + 16));
    button(w.window, QStringLiteral("Playlist"))->trigger();
    QTest::mouseClick(find<QWidget>(w.window, QStringLiteral("vscPlaylist_0")), Qt::LeftButton, {}, QPoint(8, 2));
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 0);
    QCOMPARE(w.h.codec.compressCalls, 0);
    Bytes expected = w.image;
    expected[kPlaylist] = 0x06;
    QVERIFY(ReadBytes(w.rom) == expected);
}

void SpecialStagesTest::compressedSaveAsksAndWritesAStreamThatDecodesBack()
{
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    const size_t room = packed.size() + 64;
    Bytes area = packed;
    area.resize(room, 0xEE);
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(room)},
                  area);
    EditStagesZeroAndTwo(w);
    w.h.scripted.messages.answer(Answer::Yes);
    w.h.scripted.messages.answer(Answer::Ok);
    button(w.window, QStringLiteral("Save"))->trigger();

    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
    const MessageRequest& question = w.h.scripted.messages.asked[0];
    QCOMPARE(question.title, QStringLiteral("Compression Information"));
    QCOMPARE(question.text, QStringLiteral("This ROM requires the special stages to be compressed.\n"
                                           "Compressing them can take from a few minutes to an hour.\n\n"
                                           "Do you want to save the special stages now?"));
    QCOMPARE(question.icon, Icon::Question);
    QCOMPARE(question.buttons, Buttons::YesNo);
    const MessageRequest& done = w.h.scripted.messages.asked[1];
    QCOMPARE(done.title, QStringLiteral("Special Stages Compressed"));
    QCOMPARE(done.text, QStringLiteral("The compressed special stages have been saved."));
    QCOMPARE(done.icon, Icon::Information);

    const Bytes saved = ReadBytes(w.rom);
    QCOMPARE(saved.size(), w.image.size());
    const Bytes expectedStream = modVorlith_Pack::Pack(EditedBlock(false));
    QVERIFY(expectedStream.size() <= room);
    QVERIFY(std::equal(expectedStream.begin(), expectedStream.end(), saved.begin() + kStart));
    // The allotted bytes past the stream keep their old contents.
    const size_t slackStart = kStart + std::max(expectedStream.size(), packed.size());
    const auto slack = saved.begin() + static_cast<std::ptrdiff_t>(slackStart);
    const auto areaEnd = saved.begin() + kStart + static_cast<std::ptrdiff_t>(room);
    QVERIFY(std::all_of(slack, areaEnd, [](uint8_t b) { return b == 0xEE; }));
    QVERIFY(std::equal(saved.begin(), saved.begin() + kStart, w.image.begin()));
    QVERIFY(std::equal(saved.begin() + kStart + static_cast<std::ptrdiff_t>(room), saved.end(),
                       w.image.begin() + kStart + static_cast<std::ptrdiff_t>(room)));
    QVERIFY(!w.editor()->StageModified());
    QCOMPARE(w.h.codec.optimalCalls, 0);

    // Saved, so the next save asks nothing.
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
}

void SpecialStagesTest::declinedCompressionWritesEverythingElse()
{
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(packed.size() + 64)},
                  packed);
    EditStagesZeroAndTwo(w);
    QTest::mouseClick(find<QWidget>(w.window, QStringLiteral("vscPlaylist_0")), Qt::LeftButton, {}, QPoint(8, 2));
    w.h.scripted.messages.answer(Answer::No);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    QCOMPARE(w.h.codec.compressCalls, 0);
    Bytes expected = w.image;
    expected[kPlaylist] = 0x06;
    QVERIFY(ReadBytes(w.rom) == expected);
    QVERIFY(w.editor()->StageModified());

    // Closing still offers to save the stages.
    w.h.scripted.messages.answer(Answer::Cancel);
    QVERIFY(!w.window->close());
    QCOMPARE(w.h.scripted.messages.asked.last().title, QStringLiteral("Save ROM Changes"));
}

void SpecialStagesTest::tooLongForBothEncodersIsOutOfSpace()
{
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(packed.size())},
                  packed);
    // Noise compresses badly: the stages no longer fit.
    w.editor()->findChild<QAction*>(QStringLiteral("Red"))->setChecked(true);
    for (int i = 0; i < 200; ++i) {
        const char* tool = (i * 7919 % 3 == 0) ? "Red" : (i * 31 % 2 ? "Star" : "Ring");
        w.paint(tool, (i * 13) % 32, (i * 29 + i / 7) % 32);
    }
    w.h.scripted.messages.answer(Answer::Yes);
    w.h.scripted.messages.answer(Answer::Ok);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
    const MessageRequest& full = w.h.scripted.messages.asked[1];
    QCOMPARE(full.title, QStringLiteral("Out of Space"));
    QCOMPARE(full.text, QStringLiteral("Error: The compressed special stages are larger than allocated in the ROM.\n"
                                       "Please rearrange your special stages."));
    QCOMPARE(full.icon, Icon::Critical);
    QCOMPARE(w.h.codec.compressCalls, 1);
    QCOMPARE(w.h.codec.optimalCalls, 1);
    QVERIFY(ReadBytes(w.rom) == w.image);
    QVERIFY(w.editor()->StageModified());
}

void SpecialStagesTest::optimalEncoderIsTriedWhenTheQuickOneMisses()
{
    // The ROM holds the stages as the optimal encoder packs them, in exactly
    // the room the template allows; after the edit the quick encoder's stream
    // no longer fits there but the optimal one does.
    const Bytes edited = EditedBlock(false);
    const Bytes quick = modVorlith_Pack::Pack(edited);
    const Bytes smallest = PackSmallest(edited);
    const Bytes stored = PackSmallest(StageBlock());
    const size_t room = std::max(stored.size(), smallest.size());
    if (room >= quick.size())
        QSKIP("The optimal encoder finds no stream short enough for these stages.");
    Bytes area = stored;
    area.resize(room, 0xEE);
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(room)},
                  area);
    QCOMPARE(w.editor()->GetStage(), GridOf(StageBlock(), 0));
    EditStagesZeroAndTwo(w);
    w.h.scripted.messages.answer(Answer::Yes);
    w.h.scripted.messages.answer(Answer::Ok);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
    QCOMPARE(w.h.scripted.messages.asked[1].title, QStringLiteral("Special Stages Compressed"));
    QCOMPARE(w.h.codec.compressCalls, 1);
    QCOMPARE(w.h.codec.optimalCalls, 1);
    const Bytes saved = ReadBytes(w.rom);
    QVERIFY(std::equal(smallest.begin(), smallest.end(), saved.begin() + kStart));
    QCOMPARE(modVorlith_Extract::Decode(saved, kStart).output, edited);
}

void SpecialStagesTest::streamThatDoesNotDecodeBackIsNotWritten()
{
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(packed.size() + 64)},
                  packed);
    EditStagesZeroAndTwo(w);
    // A codec fault: one byte of the stream comes out wrong.
    w.h.codec.spoil = [](std::vector<uint8_t>& stream) { stream[stream.size() / 2] ^= 0x5A; };
    w.h.scripted.messages.answer(Answer::Yes);
    w.h.scripted.messages.answer(Answer::Ok);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
    QCOMPARE(w.h.scripted.messages.asked[1].title, QStringLiteral("Compression Failed"));
    QCOMPARE(w.h.scripted.messages.asked[1].icon, Icon::Critical);
    QVERIFY(ReadBytes(w.rom) == w.image);
    QVERIFY(w.editor()->StageModified());
}

void SpecialStagesTest::undecodableStagesAreReported()
{
    // The first token copies from before the start of the output: nothing decodes.
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"), QStringLiteral("COMPLENGTH: 40")},
                  Bytes{0x00, 0x00, 0xFF});
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    QCOMPARE(w.h.scripted.messages.asked[0].title, QStringLiteral("Special Stages Incomplete"));
    QCOMPARE(w.editor()->GetStage(), StageGrid{});
    QVERIFY(!w.editor()->StageModified());
}

void SpecialStagesTest::partlyDecodedStagesAreShownButNeverSaved()
{
    // The stream is cut in the middle: the first stage decodes whole, the
    // rest of the block does not.
    const Bytes packed = modVorlith_Pack::Pack(StageBlock());
    const Bytes cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    const size_t decoded = modVorlith_Extract::Decode(cut).output.size();
    QVERIFY(decoded >= 1024 && decoded < 3 * 1032);
    StageWindow w({QStringLiteral("STAGES: 3"), QStringLiteral("COMPRESSED: Y"), QStringLiteral("MULTISTAGE: Y"),
                   QStringLiteral("COMPLENGTH: %1").arg(cut.size())},
                  cut);
    QCOMPARE(w.h.scripted.messages.asked.size(), 1);
    QCOMPARE(w.h.scripted.messages.asked[0].title, QStringLiteral("Special Stages Incomplete"));
    QVERIFY(w.h.scripted.messages.asked[0].text.contains(QStringLiteral("%1 of 3096 bytes").arg(decoded)));
    QCOMPARE(w.editor()->GetStage(), GridOf(StageBlock(), 0));

    // Edited and saved: the stages are refused, the playlist is written.
    w.paint("Star", 1, 1);
    button(w.window, QStringLiteral("Playlist"))->trigger();
    auto* bar = find<QScrollBar>(w.window, QStringLiteral("vscPlaylist_0"));
    bar->setValue(bar->value() - 1);
    w.h.scripted.messages.answer(Answer::Ok);
    button(w.window, QStringLiteral("Save"))->trigger();
    QCOMPARE(w.h.scripted.messages.asked.size(), 2);
    const MessageRequest& refused = w.h.scripted.messages.asked[1];
    QCOMPARE(refused.title, QStringLiteral("Special Stages Not Saved"));
    QCOMPARE(refused.text, QStringLiteral("The special stages could not be read completely from this ROM, so they "
                                          "are not saved: writing them back would replace the game's stages with "
                                          "empty ones."));
    QCOMPARE(refused.icon, Icon::Critical);
    QCOMPARE(w.h.codec.compressCalls, 0);
    Bytes expected = w.image;
    expected[kPlaylist] = 0x06;
    QVERIFY(ReadBytes(w.rom) == expected);
    QVERIFY(w.editor()->StageModified());
    QVERIFY(w.window->HasUnsavedEdits());
}

void SpecialStagesTest::fileModeLoadsAndSavesByTheChosenFormat()
{
    Harness h;
    StageGrid cells{};
    for (int i = 0; i < 1024; ++i)
        cells[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 6);
    Bytes v2 = SaveV2SS(cells, S3STrailer{2, 7, 9, 300});
    const QString path = h.path(QStringLiteral("stage.S3S"));
    QVERIFY(WriteBytes(path, v2));
    std::unique_ptr<frmZorpII> window(h.open(QStringLiteral(ZORP_SOURCE_DIR "/data/S3S.ZORP"), path));

    QVERIFY(button(window.get(), QStringLiteral("S3S_1"))->isVisible());
    QVERIFY(button(window.get(), QStringLiteral("S3S_2"))->isVisible());
    QVERIFY(button(window.get(), QStringLiteral("S3S_2"))->isChecked());
    QVERIFY(!button(window.get(), QStringLiteral("S3S"))->isVisible());
    QVERIFY(!button(window.get(), QStringLiteral("Play"))->isEnabled()); // no game to play
    QCOMPARE(visibleFrames(window.get()), QStringList{QStringLiteral("fraS3S")});
    QCOMPARE(TagOf(find<QObject>(window.get(), QStringLiteral("fraS3S"))), QStringLiteral("S3S"));
    auto* editor = find<S3SpecialStage>(window.get(), QStringLiteral("S3S"));
    QCOMPARE(TagOf(editor), QStringLiteral("N|0"));
    QVERIFY(!editor->EnableS3SFunctions());
    QVERIFY(!editor->ShowStageNumCombo());
    QCOMPARE(editor->GetStage(), cells);

    // Saved with v1.00 pressed: a 544-byte version 1.00 file.
    button(window.get(), QStringLiteral("S3S_1"))->trigger();
    editor->SetArrowProperties(S3S_Left, 4, 5, 12);
    window->SaveROM(path);
    const Bytes saved = ReadBytes(path);
    QCOMPARE(saved.size(), size_t{544});
    QCOMPARE(S3SFileKind(saved), kS3SKindV1);
    const S3SStage loaded = LoadV1SS(saved);
    QCOMPARE(loaded.cells, cells);
    QCOMPARE(loaded.trailer.direction, uint8_t{S3S_Left});
    QCOMPARE(loaded.trailer.row, uint8_t{4});
    QCOMPARE(loaded.trailer.column, uint8_t{5});
    QCOMPARE(loaded.trailer.rings, uint16_t{12});
    QVERIFY(!editor->StageModified());
}

void SpecialStagesTest::fileModeWithoutFormatIsRefused()
{
    Harness h;
    const Bytes v1 = SaveV1SS(StageGrid{}, S3STrailer{1, 0, 0, 0});
    const QString path = h.path(QStringLiteral("stage.S3S"));
    QVERIFY(WriteBytes(path, v1));
    std::unique_ptr<frmZorpII> window(h.open(QStringLiteral(ZORP_SOURCE_DIR "/data/S3S.ZORP"), path));
    QVERIFY(button(window.get(), QStringLiteral("S3S_1"))->isChecked());
    button(window.get(), QStringLiteral("S3S_1"))->setChecked(false);
    auto* editor = find<S3SpecialStage>(window.get(), QStringLiteral("S3S"));
    editor->setStageModified(true);
    window->SaveROM(path);
    QCOMPARE(h.scripted.messages.asked.size(), 1);
    QCOMPARE(h.scripted.messages.asked[0].title, QStringLiteral("Invalid format"));
    QCOMPARE(h.scripted.messages.asked[0].text, QStringLiteral("Invalid S3S format selected."));
    QCOMPARE(h.scripted.messages.asked[0].icon, Icon::Critical);
    QVERIFY(ReadBytes(path) == v1);
    QVERIFY(editor->StageModified());
}

void SpecialStagesTest::invalidSpecialStageFileIsReported()
{
    Harness h;
    const QString path = h.path(QStringLiteral("stage.S3S"));
    QVERIFY(WriteBytes(path, Bytes(600, 0x41)));
    std::unique_ptr<frmZorpII> window(h.open(QStringLiteral(ZORP_SOURCE_DIR "/data/S3S.ZORP"), path));
    QCOMPARE(h.scripted.messages.asked.size(), 1);
    QCOMPARE(h.scripted.messages.asked[0].title, QStringLiteral("Invalid file"));
    QCOMPARE(h.scripted.messages.asked[0].text, QStringLiteral("Error: Invalid S3S file"));
    QCOMPARE(h.scripted.messages.asked[0].icon, Icon::Critical);
    QCOMPARE(find<S3SpecialStage>(window.get(), QStringLiteral("S3S"))->GetStage(), StageGrid{});
}

void SpecialStagesTest::stageFileSaveNeverReplacesAnotherFile_data()
{
    QTest::addColumn<Bytes>("opened");  // the file when the workspace opened it
    QTest::addColumn<Bytes>("onDisk");  // the file when Save is pressed
    QTest::addColumn<QString>("reason");
    const Bytes game = MakeGenesisImage(0x100000, "SONIC THE             HEDGEHOG 2", "GM 00001051-01");
    const Bytes stage = SaveV1SS(StageGrid{}, S3STrailer{1, 0, 0, 0});
    const Bytes cutStage(stage.begin(), stage.begin() + 300);
    QTest::newRow("game ROM opened as a stage file") << game << game << QStringLiteral("was not read as a special");
    QTest::newRow("stage file replaced by a game ROM") << stage << game
                                                       << QStringLiteral("no longer a special stage file (1048576");
    QTest::newRow("stage file cut short") << stage << cutStage
                                          << QStringLiteral("no longer a special stage file (300 bytes)");
}

void SpecialStagesTest::stageFileSaveNeverReplacesAnotherFile()
{
    QFETCH(Bytes, opened);
    QFETCH(Bytes, onDisk);
    QFETCH(QString, reason);
    Harness h;
    const QString path = h.path(QStringLiteral("file.bin"));
    QVERIFY(WriteBytes(path, opened));
    std::unique_ptr<frmZorpII> window(h.open(QStringLiteral(ZORP_SOURCE_DIR "/data/S3S.ZORP"), path));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    const qsizetype loadMessages = h.scripted.messages.asked.size();
    QVERIFY(WriteBytes(path, onDisk));
    button(window.get(), QStringLiteral("S3S_1"))->setChecked(true);
    auto* editor = find<S3SpecialStage>(window.get(), QStringLiteral("S3S"));
    editor->SetArrowProperties(S3S_Left, 4, 5, 12);
    QVERIFY(editor->StageModified());

    // Save, then Yes at the closing question: neither writes, and the window stays.
    h.scripted.messages.answer(Answer::Ok);
    button(window.get(), QStringLiteral("Save"))->trigger();
    h.scripted.messages.answer(Answer::Yes);
    h.scripted.messages.answer(Answer::Ok);
    QVERIFY(!window->close());

    const auto& asked = h.scripted.messages.asked;
    QCOMPARE(asked.size(), loadMessages + 3);
    for (qsizetype i : {loadMessages, loadMessages + 2}) {
        QCOMPARE(asked[i].title, QStringLiteral("Cannot Save ROM"));
        QVERIFY2(asked[i].text.contains(reason), qPrintable(asked[i].text));
    }
    QCOMPARE(asked[loadMessages + 1].title, QStringLiteral("Save ROM Changes"));
    QVERIFY(ReadBytes(path) == onDisk);
    QVERIFY(editor->StageModified());
}

QTEST_MAIN(SpecialStagesTest)
#include "SpecialStagesTest.moc"
