// The Sonic 1 stage editor driven as a user would: mouse strokes, the right
// button picking a block, a dragged selection with Copy, Paste and Fill, the
// start tool, and a stage that cannot be read.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "platform/testing/ScriptedPlatform.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/S1SpecialStage.h"
#include "specialstage/S1StagePictures.h"

using namespace zorp;
using namespace zorp::ui;

class S1SpecialStageTest : public QObject {
    Q_OBJECT

    ScriptedPlatform scripted;
    std::unique_ptr<S1SpecialStage> editor;

    QWidget* canvas() const { return editor->findChild<QWidget*>("picS1Stage"); }
    QAction* action(const char* key) const { return editor->findChild<QAction*>(key); }
    uint8_t cell(int column, int row) const { return editor->document().Cell(editor->CurrentStage(), S1CellIndex(column, row)); }
    void mouse(QEvent::Type type, QPoint cellAt, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPointF at(cellAt.x() * kS1GridCellPixels + 4, cellAt.y() * kS1GridCellPixels + 4);
        QMouseEvent event(type, at, canvas()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas(), &event);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, from, button, button);
        for (int x = from.x(); x <= to.x(); ++x)
            mouse(QEvent::MouseMove, QPoint(x, to.y()), Qt::NoButton, button);
        mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    }

private slots:
    void init()
    {
        scripted = {};
        editor = std::make_unique<S1SpecialStage>(scripted.platform());
        std::vector<S1StageData> stages(6);
        stages[0].cells[static_cast<size_t>(S1CellIndex(30, 30))] = kS1Goal;
        stages[0].start = S1StartAtCell({0x3D0, 0x2E0}, {5, 5});
        stages[5].error = "Stage 6 cannot be edited: its pointer (0x7F000000) lies outside the ROM (524288 bytes).";
        editor->Load(stages, true);
    }

    void cleanup() { QCOMPARE(scripted.messages.unexpected, 0); }

    void strokesPickingSelectionAndStart()
    {
        QVERIFY(!editor->Modified());
        // One stroke across five cells is one command; undo takes it all back.
        editor->setBlock(kS1YellowWall);
        drag({2, 3}, {6, 3});
        QCOMPARE(int(cell(6, 3)), int(kS1YellowWall));
        QCOMPARE(editor->undoStack()->count(), 1);
        QVERIFY(editor->Modified());
        editor->undoStack()->undo();
        QCOMPARE(int(cell(2, 3)), 0);
        QVERIFY(!editor->Modified());

        // The right button picks the block under it, in the list too.
        mouse(QEvent::MouseButtonPress, {30, 30}, Qt::RightButton, Qt::RightButton);
        QCOMPARE(int(editor->block()), int(kS1Goal));
        QCOMPARE(editor->findChild<QListWidget*>("lstS1Blocks")->currentItem()->data(Qt::UserRole).toInt(),
                 int(kS1Goal));

        // Select a 3 x 1 run around the GOAL, copy it, paste it elsewhere, fill.
        action("Select")->trigger();
        drag({29, 30}, {31, 30});
        QCOMPARE(editor->keyboard()->selection(), QRect(29, 30, 3, 1));
        editor->copySelection();
        editor->keyboard()->setCursor({10, 40});
        editor->paste();
        QCOMPARE(int(cell(11, 40)), int(kS1Goal));
        QCOMPARE(editor->undoStack()->undoText(), QString("Paste"));
        editor->keyboard()->setSelection(QRect(40, 50, 2, 2)); // with a selection: at its corner
        editor->paste();
        QCOMPARE(int(cell(41, 50)), int(kS1Goal));
        editor->keyboard()->setSelection(QRect(0, 60, 64, 4));
        editor->setBlock(kS1Ring);
        editor->fillSelection();
        QCOMPARE(int(cell(63, 63)), int(kS1Ring));
        QCOMPARE(int(CountS1Stage(editor->document().Stage(0).cells).rings), 256);
        QVERIFY(editor->findChild<QLabel*>("lblS1Counts")->text().startsWith("Rings 256"));
        editor->clearAtCursor(); // the whole selection
        QCOMPARE(int(cell(63, 63)), 0);

        // The start tool moves Sonic, keeping his place inside the cell.
        action("Start")->trigger();
        mouse(QEvent::MouseButtonPress, {40, 41}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(S1StartCell(editor->document().Stage(0).start), (S1Cell{40, 41}));
        QCOMPARE(editor->undoStack()->undoText(), QString("Move Start Position"));
    }

    void anUnreadableStageTakesNoEdits()
    {
        editor->setCurrentStage(5);
        QVERIFY(!canvas()->isEnabled());
        QVERIFY(!action("Paint")->isEnabled());
        QCOMPARE(editor->findChild<QLabel*>("lblS1Warning")->text(),
                 QString::fromStdString(editor->document().Stage(5).error));
        QTest::keyClick(canvas(), Qt::Key_Space);
        editor->keyboard()->setSelection(QRect(0, 0, 4, 4));
        editor->fillSelection();
        QCOMPARE(editor->undoStack()->count(), 0);
        // Page Up from the keyboard leaves it for a stage that can be edited.
        QTest::keyClick(canvas(), Qt::Key_PageUp);
        QCOMPARE(editor->CurrentStage(), 4);
        QVERIFY(canvas()->isEnabled());
    }

    void exportImageWritesTheStageAsShown()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("stage.png");
        scripted.files.choose(path);
        action("ExportImage")->trigger();
        QImage written(path);
        QCOMPARE(written.size(), QSize(kS1SurfacePixels, kS1SurfacePixels));
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32),
                 RenderS1StageImage(editor->document().Stage(0).cells, editor->document().Stage(0).start));
    }

    void picturesTellTheBlocksApart()
    {
        // Every block the list offers has its own picture, bar the animation
        // frames drawn like their blocks and the glint phases of one wall.
        QSet<QByteArray> seen;
        int distinct = 0;
        for (int id : {0x01, 0x0A, 0x13, 0x1C, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
                       0x30, 0x34, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x4A, 0xFF}) {
            const QImage picture = S1BlockIcon(static_cast<uint8_t>(id), 20);
            const QByteArray bytes(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes());
            distinct += !seen.contains(bytes);
            seen.insert(bytes);
        }
        QCOMPARE(distinct, 27);
    }
};

QTEST_MAIN(S1SpecialStageTest)
#include "S1SpecialStageTest.moc"
