// The Sonic 2 stage editor on the real stages, driven from the keyboard and
// the mouse as a user would: every row of the key table is a sequence of
// keys and the change it must make to the document.
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>
#include <fstream>
#include <functional>
#include <iterator>

#include "kosinski/modVorlith_Extract.h"
#include "platform/testing/ScriptedPlatform.h"
#include "specialstage/S2SpecialStage.h"

using namespace zorp;
using namespace zorp::ui;

namespace {

Bytes ReadCorpus(const char* relative)
{
    std::ifstream in(std::string(ZORP_CORPUS_DIR) + "/" + relative, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<S2StageDocument> RealDocument()
{
    Bytes layouts = ReadCorpus("nemesis/s2__misc__Special_stage_level_layouts.nem.dec");
    Bytes stream = ReadCorpus("stages/s2-ss-objects.kos");
    if (layouts.empty() || stream.empty())
        return std::nullopt;
    S2RingTable team{}, alone{};
    team[0] = {40, 80, 140, 120};
    alone[0] = {30, 70, 130, 110};
    return S2StageDocument(ReadS2Layouts(layouts).block,
                           ReadS2ObjectLists(modVorlith_Extract::Decode(stream).output).lists, team, alone);
}

} // namespace

class S2SpecialStageTest : public QObject {
    Q_OBJECT

private:
    ScriptedPlatform scripted_;
    std::optional<S2StageDocument> loaded_;

    std::unique_ptr<S2SpecialStage> Editor()
    {
        auto editor = std::make_unique<S2SpecialStage>(scripted_.platform());
        editor->setDocument(*loaded_);
        editor->show();
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.get()))
            qWarning("the editor's window did not become active: its keys may not arrive");
        return editor;
    }

private slots:
    void initTestCase()
    {
        loaded_ = RealDocument();
        if (!loaded_)
            QSKIP("corpus not found");
    }

    // Keys on the cross-section: cursor, tools, placing, deleting, segments
    // and stages, each checked on the document it leaves.
    void keyboard_data()
    {
        QTest::addColumn<QString>("keys"); // one letter per key, see press() below
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("segment");
        QTest::addColumn<QString>("expect");
        // Stage 1 segment 6 holds 4 rings at distance 0, angles 0x38..0x48.
        QTest::newRow("ring at the cursor") << "5R " << 0 << 5 << "rings+1";
        QTest::newRow("bomb one step deeper") << "5B^ " << 0 << 5 << "bombs+1 deep1";
        QTest::newRow("digit keys pick tools too") << "53 " << 0 << 5 << "bombs+1";
        QTest::newRow("delete under the cursor") << "5>>D" << 0 << 5 << "rings-1";
        QTest::newRow("delete where nothing is") << "5^^^^^^^^D" << 0 << 5 << "same";
        QTest::newRow("next and previous segment") << "]]][" << 0 << 2 << "same";
        QTest::newRow("page down and up") << "PPPp" << 2 << 0 << "same";
        QTest::newRow("insert a segment") << "I" << 0 << 0 << "segments+1";
        QTest::newRow("delete the segment") << "X" << 0 << 0 << "segments-1";
        QTest::newRow("select and move with the keys") << "5S ^^^ " << 0 << 5 << "moved";
    }
    void keyboard()
    {
        QFETCH(QString, keys);
        QFETCH(int, stage);
        QFETCH(int, segment);
        QFETCH(QString, expect);
        auto editor = Editor();
        auto* canvas = editor->findChild<QWidget*>(QStringLiteral("picS2CrossSection"));
        QVERIFY(canvas);
        canvas->setFocus();
        editor->setCursor({0x40, 0});
        const S2StageState before = editor->document().State(0);
        auto count = [](const S2StageState& s, bool bomb) {
            int n = 0;
            for (const auto& list : s.objects.lists)
                for (const auto& o : list.objects)
                    n += o.bomb == bomb;
            return n;
        };
        for (QChar key : keys) {
            switch (key.toLatin1()) {
            case '5': for (int i = 0; i < 5; ++i) QTest::keyClick(canvas, Qt::Key_BracketRight); break;
            case 'R': QTest::keyClick(canvas, Qt::Key_R); break;
            case 'B': QTest::keyClick(canvas, Qt::Key_B); break;
            case 'S': QTest::keyClick(canvas, Qt::Key_S); break;
            case '3': QTest::keyClick(canvas, Qt::Key_3); break;
            case ' ': QTest::keyClick(canvas, Qt::Key_Space); break;
            case '^': QTest::keyClick(canvas, Qt::Key_Up); break;
            case '>': QTest::keyClick(canvas, Qt::Key_Right); break;
            case 'D': QTest::keyClick(canvas, Qt::Key_Delete); break;
            case ']': QTest::keyClick(canvas, Qt::Key_BracketRight); break;
            case '[': QTest::keyClick(canvas, Qt::Key_BracketLeft); break;
            case 'P': QTest::keyClick(canvas, Qt::Key_PageDown); break;
            case 'p': QTest::keyClick(canvas, Qt::Key_PageUp); break;
            case 'I': QTest::keyClick(canvas, Qt::Key_Insert); break;
            case 'X': QTest::keyClick(canvas, Qt::Key_Delete, Qt::ShiftModifier); break;
            }
        }
        QCOMPARE(editor->CurrentStage(), stage);
        QCOMPARE(editor->CurrentSegment(), segment);
        const S2StageState after = editor->document().State(0);
        const S2ObjectList& list = after.objects.lists[5];
        if (expect == QLatin1String("same")) {
            QVERIFY(after == before);
        } else if (expect.startsWith(QLatin1String("rings"))) {
            QCOMPARE(count(after, false) - count(before, false), expect.endsWith(QLatin1String("+1")) ? 1 : -1);
            QCOMPARE(count(after, true), count(before, true));
        } else if (expect.startsWith(QLatin1String("bombs"))) {
            QCOMPARE(count(after, true), count(before, true) + 1);
            QCOMPARE(list.objects.back().distance, expect.endsWith(QLatin1String("deep1")) ? 1 : 0);
            QCOMPARE(list.objects.back().angle, 0x40);
        } else if (expect.startsWith(QLatin1String("segments"))) {
            const int change = expect.endsWith(QLatin1String("+1")) ? 1 : -1;
            QCOMPARE(static_cast<int>(after.segments.size()), static_cast<int>(before.segments.size()) + change);
            QCOMPARE(static_cast<int>(after.objects.lists.size()),
                     static_cast<int>(before.objects.lists.size()) + change);
        } else if (expect == QLatin1String("moved")) {
            QCOMPARE(count(after, false), count(before, false));
            QVERIFY(after.objects.lists[5] != before.objects.lists[5]);
            bool deep3 = false;
            for (const auto& o : list.objects)
                deep3 |= o.distance == 3 && o.angle == 0x40;
            QVERIFY(deep3);
        }
        // Every edit is one undo step, and undo brings the stage back.
        while (editor->undoStack()->canUndo())
            editor->undoStack()->undo();
        QVERIFY(editor->document().State(0) == before);
        QCOMPARE(scripted_.messages.unexpected, 0);
    }

    // The segment and ring controls, the refusal at the RAM limit, the
    // counts and their warning.
    void controls()
    {
        auto editor = Editor();
        editor->setCurrentSegment(3);
        auto* type = editor->findChild<QComboBox*>(QStringLiteral("cboS2SegmentType"));
        auto* marker = editor->findChild<QComboBox*>(QStringLiteral("cboS2Marker"));
        auto* team1 = editor->findChild<QSpinBox*>(QStringLiteral("udTeam1"));
        QVERIFY(type && marker && team1);
        editor->SetSegmentType(1);
        editor->SetMirrored(true);
        QCOMPARE(editor->document().SegmentByte(0, 3), uint8_t{0x81});
        QCOMPARE(type->currentIndex(), 1);
        editor->SetMarker(S2Marker::Emerald);
        QCOMPARE(editor->document().List(0, 3)->terminator, uint8_t{0xFD});
        QCOMPARE(marker->currentText(), QStringLiteral("emerald"));
        QVERIFY(editor->StageModified());

        auto* warning = editor->findChild<QLabel*>(QStringLiteral("lblS2StageWarning"));
        QVERIFY(warning->text().contains(QStringLiteral("4 ring checks")));
        editor->undoStack()->undo();
        QVERIFY(warning->text().isEmpty());
        team1->setValue(250); // more than the stage has before its first check
        QCOMPARE(editor->document().TeamRings()[0][0], uint8_t{250});
        QVERIFY(warning->text().contains(QStringLiteral("cannot be met")));

        // Three segments fit the lists' RAM, the fourth is refused with a message.
        for (int i = 0; i < 3; ++i)
            editor->InsertSegment();
        scripted_.messages.answer(Answer::Ok);
        editor->InsertSegment();
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked.back().icon, Icon::Exclamation);
        QVERIFY(scripted_.messages.asked.back().text.contains(QStringLiteral("6881 bytes")));
        editor->setStageModified(false);
        QVERIFY(!editor->StageModified());
    }

    // The mouse: a click with the ring tool places a ring where it is drawn,
    // a right click removes it, a drag with the select tool is one move.
    void mouse()
    {
        auto editor = Editor();
        // Segment 24 of stage 1 turns the other way: it is drawn mirrored,
        // and a click must land where the object is drawn all the same.
        editor->setCurrentSegment(23);
        QVERIFY(S2SegmentMirrored(editor->document().SegmentByte(0, 23)));
        const size_t before = editor->document().List(0, 23)->objects.size();
        auto* canvas = editor->findChild<S2CrossSectionView*>(QStringLiteral("picS2CrossSection"));
        const QPointF at = canvas->section().Position(0x30, 30);
        QVERIFY(at.x() < canvas->width() / 2.0); // mirrored: 0x30 is left of the centre
        QTest::mouseClick(canvas, Qt::LeftButton, {}, at.toPoint());
        const S2ObjectList* list = editor->document().List(0, 23);
        QCOMPARE(list->objects.size(), before + 1);
        QVERIFY(std::abs(list->objects.back().angle - 0x30) <= 1);
        QVERIFY(std::abs(list->objects.back().distance - 30) <= 1);
        editor->setTool(S2SpecialStage::Tool::Select);
        QTest::mousePress(canvas, Qt::LeftButton, {}, at.toPoint());
        for (int d : {36, 42, 48}) {
            QMouseEvent move(QEvent::MouseMove, canvas->section().Position(0x50, d), canvas->mapToGlobal(at),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(canvas, &move);
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(editor->undoStack()->count(), 2); // the place and one move
        const QPointF moved = canvas->section().Position(0x50, 48);
        QTest::mouseClick(canvas, Qt::RightButton, {}, moved.toPoint());
        QCOMPARE(editor->document().List(0, 23)->objects.size(), before);
    }

    // Every control has a name, a role and, for buttons, a working action.
    void accessible()
    {
        auto editor = Editor();
        for (QWidget* child : editor->findChildren<QWidget*>()) {
            if (child->objectName().isEmpty() || child->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child);
            QVERIFY2(a, qPrintable(child->objectName()));
            QVERIFY2(!a->text(QAccessible::Name).isEmpty() || qobject_cast<QLabel*>(child),
                     qPrintable(child->objectName()));
        }
        QAccessibleInterface* insert =
            QAccessible::queryAccessibleInterface(editor->findChild<QWidget*>(QStringLiteral("cmdS2InsertSegment")));
        const int segments = editor->document().SegmentCount(0);
        insert->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(editor->document().SegmentCount(0), segments + 1); // the press is an animated click
    }
};

QTEST_MAIN(S2SpecialStageTest)
#include "S2SpecialStageTest.moc"
