// Sonic 2 in the workspace: the shipped template on a synthetic image of
// each revision opens the level select and special stage editors; a level
// select edit that no longer fits asks to grow the ROM and is saved past
// its old end with its address rewritten; the pictures for the docs.
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

#include "S2LevelSelectFrame.h"
#include "S2StagesFrame.h"
#include "WorkspaceFixture.h"
#include "specialstage/S2SpecialStage.h"
#include "linked/LinkedCodecs.h"
#include "template/tests/S2TestData.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

class S2WorkspaceTest : public QObject {
    Q_OBJECT

private:
    // The workspace on a revision's image; Nemesis not in the codec yet
    // means the stages editor says why it stays disabled.
    // fresh: write the synthetic image first (else open the file as it is).
    frmZorpII* Open(Harness& h, const s2test::Revision& r, const QString& file, bool fresh = true)
    {
        auto image = s2test::Image(r);
        if (!image)
            return nullptr;
        const QString templateName = r.serialDigit == '1' ? QStringLiteral("S2") : QStringLiteral("S2_") + QLatin1String(r.name);
        if (fresh)
            WriteBytes(file, *image);
        if (!h.codec.OffersFormat(2)) // Nemesis
            h.scripted.messages.answer(Answer::Ok);
        return h.open(QStringLiteral(ZORP_SOURCE_DIR "/data/") + templateName + QStringLiteral(".ZORP"), file);
    }

private slots:
    void everyRevisionOpensBothEditors()
    {
        for (const s2test::Revision& r : s2test::kRevisions) {
            Harness h;
            std::unique_ptr<frmZorpII> window(Open(h, r, h.path(QStringLiteral("s2.bin"))));
            if (!window)
                QSKIP("corpus not found");
            QVERIFY(button(window.get(), QStringLiteral("S2LvlSelect"))->isVisible());
            QVERIFY(button(window.get(), QStringLiteral("S2SS"))->isVisible());
            QVERIFY(!button(window.get(), QStringLiteral("LvlSelect"))->isVisible());
            auto* names = find<QTableWidget>(window.get(), QStringLiteral("lstS2Names"));
            QCOMPARE(names->rowCount(), 13);
            QCOMPARE(names->item(9, 0)->text(), QStringLiteral("WING FORTRESS"));
            auto* order = find<QTableWidget>(window.get(), QStringLiteral("lstS2Order"));
            QCOMPARE(order->item(20, 1)->text(), QStringLiteral("Special Stage"));
            auto* stages = find<S2StagesFrame>(window.get(), QStringLiteral("fraS2SS"));
            QCOMPARE(stages->editor()->isEnabled(), h.codec.OffersFormat(2));
            QVERIFY(!window->HasUnsavedEdits());
        }
    }

    void levelSelectThatGrowsIsSavedPastTheOldEnd()
    {
        Harness h;
        const s2test::Revision& r = s2test::kRevisions[1];
        const QString file = h.path(QStringLiteral("s2.bin"));
        std::unique_ptr<frmZorpII> window(Open(h, r, file));
        if (!window)
            QSKIP("corpus not found");
        const Bytes before = ReadBytes(file);
        auto* frame = find<S2LevelSelectFrame>(window.get(), QStringLiteral("fraS2LvlSelect"));
        const char* letters = "QZ7XJ4KV9WQ3ZKJX8QV2K4ZQW9X1VQZQ6XKZ5J8W2KQ7X9JQZXQV3KZXW7J2K8ZQVJZ4QX";
        size_t at = 0;
        for (int i = 0; i < 13; ++i) {
            QString name;
            for (int k = 0; k < frame->model()->Names()[static_cast<size_t>(i)].fieldLength(); ++k)
                name += QLatin1Char(letters[(at += 7) % 70]);
            QVERIFY(frame->SetName(i, name));
        }
        QVERIFY(window->HasUnsavedEdits());
        // A letter the font lacks is refused with a message.
        h.scripted.messages.answer(Answer::Ok);
        QVERIFY(!frame->SetName(0, QStringLiteral("EMERALD #1")));
        QCOMPARE(h.scripted.messages.asked.last().title, QStringLiteral("Level Select"));

        const int asked = h.scripted.messages.asked.size();
        h.scripted.messages.answer(Answer::No); // do not grow: nothing is written
        QVERIFY(!window->SaveROM(file));
        QCOMPARE(ReadBytes(file), before);
        h.scripted.messages.answer(Answer::Yes);
        h.scripted.messages.answer(Answer::Ok);
        QVERIFY(window->SaveROM(file));
        QCOMPARE(h.scripted.messages.asked.size(), asked + 3);
        QCOMPARE(h.scripted.messages.asked[asked].icon, Icon::Question);
        QCOMPARE(h.scripted.messages.asked.last().title, QStringLiteral("ROM Grown"));
        const Bytes after = ReadBytes(file);
        QCOMPARE(after.size(), size_t{0x200000});
        const uint32_t pointer = r.levelSelectLea + 2;
        QCOMPARE(Bytes(after.begin() + pointer, after.begin() + pointer + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));
        // The playlist editor writes its 17 bytes back on every save (the
        // random bytes of the image there are no songs, so they change).
        for (size_t i = 0; i < before.size(); ++i)
            if ((i < pointer || i >= pointer + 4) && (i < 0x1A4 || i >= 0x1A8) && (i < 0x3EA0 || i >= 0x3EA0 + 17))
                QVERIFY2(after[i] == before[i], qPrintable(QString::number(i, 16)));
        QVERIFY(!window->HasUnsavedEdits());

        // A second save after a rename in place reads the map where it now is.
        QVERIFY(frame->SetName(4, QStringLiteral("HILLS")));
        QVERIFY(window->SaveROM(file));
        const Bytes again = ReadBytes(file);
        QCOMPARE(again.size(), size_t{0x200000});
        QCOMPARE(Bytes(again.begin() + pointer, again.begin() + pointer + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));
        std::unique_ptr<frmZorpII> reopened(Open(h, r, file, false));
        QCOMPARE(h.scripted.messages.unexpected, 0);
        auto* names = find<QTableWidget>(reopened.get(), QStringLiteral("lstS2Names"));
        QCOMPARE(names->item(4, 0)->text(), QStringLiteral("HILLS"));
    }

    // A stage edit is saved in place and reads back; the closing question
    // guards it while unsaved.
    void stageEditIsSavedAndReadBack()
    {
        Harness h;
        const s2test::Revision& r = s2test::kRevisions[0];
        const QString file = h.path(QStringLiteral("s2.bin"));
        std::unique_ptr<frmZorpII> window(Open(h, r, file));
        if (!window)
            QSKIP("corpus not found");
        auto* stages = find<S2StagesFrame>(window.get(), QStringLiteral("fraS2SS"));
        if (!stages->editor()->isEnabled())
            QSKIP("the codec offers no Nemesis");
        const Bytes before = ReadBytes(file);
        S2SpecialStage* editor = stages->editor();
        editor->setCurrentSegment(2);
        editor->SetRequirement(true, 0, 45);
        editor->UseToolAt(0x20, 9);
        QVERIFY(window->HasUnsavedEdits());
        QVERIFY(window->SaveROM(file));
        QVERIFY(!window->HasUnsavedEdits());
        const Bytes after = ReadBytes(file);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after[r.team], uint8_t{45});
        const uint32_t pointer = r.objectLea + 2;
        QCOMPARE(Bytes(after.begin() + pointer, after.begin() + pointer + 4),
                 Bytes(before.begin() + pointer, before.begin() + pointer + 4)); // it still fits in place

        std::unique_ptr<frmZorpII> reopened(Open(h, r, file, false));
        const S2StageDocument& doc = find<S2StagesFrame>(reopened.get(), QStringLiteral("fraS2SS"))->editor()->document();
        QCOMPARE(doc.TeamRings()[0][0], uint8_t{45});
        QCOMPARE(doc.List(0, 2)->objects.back(), (S2Object{false, 9, 0x20}));
    }

    // Pictures of both editors for the docs (ZORP_SCREENSHOT_DIR).
    void screenshots()
    {
        Harness h;
        std::unique_ptr<frmZorpII> window(Open(h, s2test::kRevisions[1], h.path(QStringLiteral("Sonic2.bin"))));
        if (!window)
            QSKIP("corpus not found");
        QString folder = qEnvironmentVariable("ZORP_SCREENSHOT_DIR");
        if (folder.isEmpty())
            folder = h.path(QStringLiteral("shots"));
        QVERIFY(QDir().mkpath(folder));
        window->setWindowTitle(QStringLiteral("ZORP-II - Sonic2.bin"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        button(window.get(), QStringLiteral("S2LvlSelect"))->trigger();
        auto* order = find<QTableWidget>(window.get(), QStringLiteral("lstS2Order"));
        order->setCurrentCell(14, 1);
        QCoreApplication::processEvents();
        QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/workspace-s2-levelselect.png")));
        button(window.get(), QStringLiteral("S2SS"))->trigger();
        auto* stages = find<S2StagesFrame>(window.get(), QStringLiteral("fraS2SS"));
        if (!stages->editor()->isEnabled()) {
            // A codec without Nemesis cannot read the layouts from the ROM:
            // the picture shows the editor on the corpus' decoded data.
            auto layouts = s2test::ReadCorpusFile("nemesis/s2__misc__Special_stage_level_layouts.nem.dec");
            auto stream = s2test::ReadCorpusFile("stages/s2-ss-objects.kos");
            QVERIFY(layouts && stream);
            DecodedStream objects = LinkedCodecCalls().kosinski.decode(*stream, 0, kS2ObjectListRamLimit);
            S2RingTable team{}, alone{};
            team[2] = {60, 110, 160, 170};
            alone[2] = {50, 110, 160, 160};
            stages->editor()->setDocument(S2StageDocument(ReadS2Layouts(*layouts).block,
                                                          ReadS2ObjectLists(objects.data).lists, team, alone));
            find<QWidget>(window.get(), QStringLiteral("lblS2StagesStatus"))->hide();
        }
        stages->editor()->setCurrentStage(2);
        stages->editor()->setCurrentSegment(26);
        stages->editor()->setCursor({0x30, 4});
        QCoreApplication::processEvents();
        QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/workspace-s2-specialstages.png")));
    }
};

QTEST_MAIN(S2WorkspaceTest)
#include "S2WorkspaceTest.moc"
