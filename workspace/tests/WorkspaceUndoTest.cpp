// Undo and Redo in the workspace: they act on the editor being shown, and
// undoing back to the loaded state clears its modified flag.
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "palette/PalEdit.h"
#include "specialstage/S3SpecialStage.h"
#include "WorkspaceFixture.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

class WorkspaceUndoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    QPointer<frmZorpII> window;

    void trigger(const QString& key) { button(window, key)->trigger(); }

private slots:
    void init()
    {
        h = std::make_unique<Harness>();
        Bytes image = MakeGenesisImage(0x20000, "SONIC THE               HEDGEHOG", "GM 00001009-00");
        for (int i = 0; i < 16; ++i)
            Put(image, 0x2000 + 2 * i, {0x00, 0x22});
        QVERIFY(WriteBytes(h->path("rom.bin"), image));
        QVERIFY(WriteTemplate(h->path("undo.ZORP"),
                              {"PALEDIT", "Green Hill: 0x2000: 16", "ENDFRAME", "S3S", "STARTADDR: 0x8000",
                               "STAGES: 2", "EXTRAPROPS: Y", "MULTISTAGE: Y", "ENDFRAME"}));
        window = h->open(h->path("undo.ZORP"), h->path("rom.bin"));
        QVERIFY(window);
    }

    void cleanup()
    {
        if (window)
            delete window;
        h.reset();
    }

    void undoFollowsTheEditorOnShow()
    {
        auto* palette = find<PalEdit>(window, QStringLiteral("PalEdit"));
        auto* stages = find<S3SpecialStage>(window, QStringLiteral("S3S"));
        QVERIFY(palette && stages);
        QAction* undo = button(window, QStringLiteral("Undo"));
        QAction* redo = button(window, QStringLiteral("Redo"));
        QVERIFY(undo && redo);
        QVERIFY(!undo->isEnabled());

        // A colour change on the palette editor, which is shown first.
        trigger(QStringLiteral("PalEdit"));
        auto* slider = find<QSlider>(window, QStringLiteral("hscColor_0"));
        slider->setValue(slider->value() == slider->maximum() ? 0 : slider->maximum());
        QVERIFY(palette->PaletteModified());
        QVERIFY(undo->isEnabled());

        // A ring count change while the stages are shown is the stage editor's.
        trigger(QStringLiteral("S3S"));
        QVERIFY(!undo->isEnabled()); // nothing edited there yet
        auto* rings = find<QSpinBox>(window, QStringLiteral("udRings"));
        QVERIFY(rings);
        rings->setValue(rings->value() == 7 ? 8 : 7);
        QVERIFY(stages->StageModified());
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QVERIFY(!stages->StageModified());
        QVERIFY(palette->PaletteModified()); // the palette's edit is untouched

        // Undo on the palette brings it back to the loaded colours: not modified.
        trigger(QStringLiteral("PalEdit"));
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QVERIFY(!palette->PaletteModified());
        QVERIFY(!undo->isEnabled());
        QVERIFY(redo->isEnabled());
        redo->trigger();
        QVERIFY(palette->PaletteModified());
    }

    void shortcutsAreTheUsualOnes()
    {
        QAction* undo = button(window, QStringLiteral("Undo"));
        QAction* redo = button(window, QStringLiteral("Redo"));
        QVERIFY(undo->shortcuts().contains(QKeySequence(QKeySequence::Undo)));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    }
};

QTEST_MAIN(WorkspaceUndoTest)
#include "WorkspaceUndoTest.moc"
