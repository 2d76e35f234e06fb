// The Sonic 1 special stage editor in the workspace, on synthetic Sonic 1
// images laid out as in the game facts (real Enigma streams through the test
// codec object): the editor opens on every stage, keyboard edits save and
// read back, a grown stage moves into the filler and the user is told, a full
// image asks to grow (No writes nothing, Yes grows it), a stage that cannot
// be read stays disabled and untouched, and the shipped template's pictures.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QUndoStack>

#include "WorkspaceFixture.h"
#include "linked/LinkedCodecs.h"
#include "specialstage/EditCommand.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/S1SpecialStage.h"
#include "template/S1StageBlock.h"
#include "template/tests/S1StageImages.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

class S1StagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    QPointer<frmZorpII> window;
    s1test::Image image;

    QString rom() const { return h->path(QStringLiteral("sonic1.bin")); }
    S1SpecialStage* editor() const { return find<S1SpecialStage>(window, QStringLiteral("S1SpecialStage")); }
    QWidget* canvas() const { return find<QWidget>(window, QStringLiteral("picS1Stage")); }
    QString warning() const { return find<QLabel>(window, QStringLiteral("lblS1Warning"))->text(); }
    S1StagesLoad reread() const
    {
        return LoadS1Stages(s1test::SetupOf(s1test::kRev00), ReadBytes(rom()), LinkedCodecCalls());
    }
    void keys(std::initializer_list<Qt::Key> list)
    {
        for (Qt::Key k : list)
            QTest::keyClick(canvas(), k);
    }
    // Blocks in no pattern over the rows the stage leaves empty: a much
    // longer stream.
    void scribble(int rows)
    {
        S1StageDocument& doc = editor()->document();
        std::vector<CellsEdit::Change> changes;
        for (int i = 0; i < rows * kS1Side; ++i) {
            const int index = S1CellIndex(i % kS1Side, 63 - i / kS1Side);
            changes.push_back({index, doc.Cell(editor()->CurrentStage(), index),
                               static_cast<uint8_t>(kS1Ring + (i * 37 % 7))});
        }
        PushEdit(editor()->undoStack(),
                 std::make_unique<CellsEdit>(doc, editor()->CurrentStage(), changes, "Scribble"));
    }
    void openWith(const s1test::Image& with)
    {
        image = with;
        QVERIFY(WriteBytes(rom(), image.bytes));
        window = h->open(h->path(QStringLiteral("s1.ZORP")), rom());
        QVERIFY(window);
    }

private slots:
    void init()
    {
        h = std::make_unique<Harness>();
        QVERIFY(WriteTemplate(h->path(QStringLiteral("s1.ZORP")),
                              {"S1STAGES", "POINTERS: 0x1B64C", "STARTPOS: 0x1B664", "FREESPACE: 0x71366: 0x7198F",
                               "FREESPACE: 0x80000: END", "ENDFRAME"}));
    }

    void cleanup()
    {
        QCOMPARE(h->scripted.messages.unexpected, 0);
        if (window)
            delete window;
        h.reset();
    }

    void opensOnEveryStageAndTheKeyboardEditsSaveAndReadBack()
    {
        openWith(s1test::MakeImage(s1test::kRev00, LinkedCodecCalls()));
        QCOMPARE(h->scripted.messages.asked.size(), 0);
        QVERIFY(button(window, QStringLiteral("S1Stages"))->isVisible());
        QCOMPARE(visibleFrames(window), QStringList{QStringLiteral("fraS1Stages")});
        QVERIFY(canvas()->isEnabled());
        QCOMPARE(find<QComboBox>(window, QStringLiteral("cboS1Stage"))->count(), 6);
        QCOMPARE(find<QLabel>(window, QStringLiteral("lblS1Counts"))->text(),
                 QString::fromStdString(DescribeS1Counts(CountS1Stage(s1test::MakeLayout(0)))));
        QVERIFY(warning().isEmpty());

        // Page Down to stage 2, then a bumper and this stage's emerald by key.
        keys({Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_6, Qt::Key_Space,
              Qt::Key_Right, Qt::Key_M, Qt::Key_Return});
        QCOMPARE(editor()->CurrentStage(), 1);
        QCOMPARE(int(editor()->document().Cell(1, S1CellIndex(2, 1))), int(kS1Bumper));
        QCOMPARE(int(editor()->document().Cell(1, S1CellIndex(3, 1))), int(S1EmeraldOfStage(1)));
        QVERIFY(window->HasUnsavedEdits());
        // Workspace Undo takes the emerald back; Delete clears the bumper.
        button(window, QStringLiteral("Undo"))->trigger();
        QCOMPARE(int(editor()->document().Cell(1, S1CellIndex(3, 1))), 0);
        keys({Qt::Key_Left, Qt::Key_Delete, Qt::Key_G, Qt::Key_Space});
        QCOMPARE(int(editor()->document().Cell(1, S1CellIndex(2, 1))), int(kS1Goal));

        h->scripted.messages.answer(Answer::Ok); // for the note when the stage moved
        button(window, QStringLiteral("Save"))->trigger();
        QVERIFY(!window->HasUnsavedEdits());
        const S1StagesLoad after = reread();
        QCOMPARE(after.stages[1].cells, editor()->document().Stage(1).cells);
        // The stream stayed, or moved into the filler and the user was told.
        const bool moved = after.streams[1].offset != image.streams[1].offset;
        QCOMPARE(h->scripted.messages.asked.size(), moved ? 1 : 0);
        // Other stages keep their bytes.
        const uint64_t pointer = s1test::kRev00.pointers + 4;
        for (const auto& [first, last] : s1test::DiffRuns(image.bytes, ReadBytes(rom())))
            QVERIFY((first >= image.streams[1].offset && last < image.streams[1].end()) ||
                    (first >= pointer && last < pointer + 4) || (first >= 0x71366 && last <= 0x7198F));
    }

    void aGrownStageMovesAndTheUserIsTold()
    {
        openWith(s1test::MakeImage(s1test::kRev00, LinkedCodecCalls()));
        scribble(3);
        h->scripted.messages.answer(Answer::Ok);
        button(window, QStringLiteral("Save"))->trigger();
        QCOMPARE(h->scripted.messages.asked.size(), 1);
        const MessageRequest told = h->scripted.messages.asked[0];
        QCOMPARE(told.title, QStringLiteral("Data Moved"));
        QVERIFY2(told.text.contains(QStringLiteral("moved to free space at 0x71366")), qPrintable(told.text));
        const S1StagesLoad after = reread();
        QCOMPARE(after.streams[0].offset, uint64_t{0x71366});
        QCOMPARE(after.stages[0].cells, editor()->document().Stage(0).cells);
        QCOMPARE(ReadBytes(rom()).size(), image.bytes.size());
    }

    void aFullImageAsksToGrow()
    {
        openWith(s1test::MakeImage(s1test::kRev00, LinkedCodecCalls()));
        scribble(40);
        h->scripted.messages.answer(Answer::No);
        button(window, QStringLiteral("Save"))->trigger();
        QCOMPARE(h->scripted.messages.asked.size(), 1);
        QCOMPARE(h->scripted.messages.asked[0].title, QStringLiteral("Grow the ROM?"));
        QCOMPARE(h->scripted.messages.asked[0].buttons, Buttons::YesNo);
        QCOMPARE(ReadBytes(rom()), image.bytes);
        QVERIFY(window->HasUnsavedEdits());

        h->scripted.messages.answer(Answer::Yes);
        h->scripted.messages.answer(Answer::Ok);
        button(window, QStringLiteral("Save"))->trigger();
        QCOMPARE(h->scripted.messages.asked.size(), 3);
        QVERIFY2(h->scripted.messages.asked[2].text.contains(QStringLiteral("grew from 512 KiB to 1024 KiB")),
                 qPrintable(h->scripted.messages.asked[2].text));
        const Bytes grown = ReadBytes(rom());
        QCOMPARE(grown.size(), size_t{0x100000});
        QCOMPARE(Bytes(grown.begin() + 0x1A4, grown.begin() + 0x1A8), (Bytes{0, 0x0F, 0xFF, 0xFF}));
        const S1StagesLoad after = reread();
        QCOMPARE(after.streams[0].offset, uint64_t{0x80000});
        QCOMPARE(after.stages[0].cells, editor()->document().Stage(0).cells);
        QVERIFY(!window->HasUnsavedEdits());
    }

    void anUnreadableStageStaysDisabledAndUntouched()
    {
        s1test::Image spoiled = s1test::MakeImage(s1test::kRev00, LinkedCodecCalls());
        spoiled.bytes[s1test::kRev00.pointers + 11] |= 1; // stage 3's pointer is odd
        openWith(spoiled);
        QCOMPARE(h->scripted.messages.asked.size(), 0);
        find<QComboBox>(window, QStringLiteral("cboS1Stage"))->setCurrentIndex(2);
        QVERIFY(!canvas()->isEnabled());
        QVERIFY2(warning().startsWith(QStringLiteral("Stage 3 cannot be edited: its pointer")), qPrintable(warning()));
        keys({Qt::Key_PageUp});
        QVERIFY(canvas()->isEnabled());
        keys({Qt::Key_7, Qt::Key_Space});
        h->scripted.messages.answer(Answer::Ok);
        button(window, QStringLiteral("Save"))->trigger();
        // Only stage 2's stream, its pointer or the filler it moved into changed.
        const uint64_t pointer = s1test::kRev00.pointers + 4;
        for (const auto& [first, last] : s1test::DiffRuns(spoiled.bytes, ReadBytes(rom())))
            QVERIFY((first >= image.streams[1].offset && last < image.streams[1].end()) ||
                    (first >= pointer && last < pointer + 4) || (first >= 0x71366 && last <= 0x7198F));
        QVERIFY(!reread().stages[2].readable());
    }

    // The editor with the shipped Sonic 1 template, as the README shows it.
    void screenshots()
    {
        const QString templatePath = QStringLiteral(ZORP_SOURCE_DIR "/data/S1.ZORP");
        const std::vector<Bytes> streams = s1test::CorpusStreams(s1test::kRev00);
        if (streams.empty())
            QSKIP("corpus not found");
        image = s1test::MakeImage(s1test::kRev00, LinkedCodecCalls(), streams);
        QVERIFY(WriteBytes(rom(), image.bytes));
        window = h->open(templatePath, rom());
        window->setWindowTitle(QStringLiteral("ZORP-II - Sonic1.bin"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        button(window, QStringLiteral("S1Stages"))->trigger();
        QString folder = qEnvironmentVariable("ZORP_SCREENSHOT_DIR");
        if (folder.isEmpty())
            folder = h->path(QStringLiteral("shots"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(h->scripted.messages.asked.size(), 0);
        canvas()->setFocus();
        editor()->keyboard()->setCursor(QPoint(9, 3));
        QCoreApplication::processEvents();
        QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/workspace-s1stages.png")));
        // Stage 4, its start moved into a wall (the warning shows) and a selection.
        keys({Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_T});
        QPoint wall;
        for (int i = 0; i < kS1Cells; ++i)
            if (DescribeS1Block(editor()->document().Cell(3, i)).kind == S1BlockKind::Wall) {
                wall = QPoint(i % kS1Side, i / kS1Side);
                break;
            }
        editor()->keyboard()->setCursor(wall);
        keys({Qt::Key_Space, Qt::Key_S});
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(canvas(), Qt::Key_Down, Qt::ShiftModifier);
            QTest::keyClick(canvas(), Qt::Key_Right, Qt::ShiftModifier);
        }
        QCOMPARE(editor()->keyboard()->selection().size(), QSize(7, 7));
        QVERIFY2(warning().contains(QStringLiteral("inside a solid block")), qPrintable(warning()));
        QCoreApplication::processEvents();
        QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/workspace-s1stages-warning.png")));
    }
};

QTEST_MAIN(S1StagesTest)
#include "S1StagesTest.moc"
