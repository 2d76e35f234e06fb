// The special stage editor control, driven as a user would: mouse events on
// the grid, tool bar actions, scripted dialogs and message boxes.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <fstream>
#include <iterator>

#include "platform/testing/ScriptedPlatform.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/S3SpecialStage.h"

using namespace zorp::ui;

namespace {

constexpr int kCell = 12;

QByteArray Latin1(const zorp::Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

zorp::Bytes BytesOf(const QByteArray& data) { return zorp::Bytes(data.begin(), data.end()); }

bool WriteFile(const QString& path, const zorp::Bytes& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Latin1(bytes)) == static_cast<qint64>(bytes.size());
}

zorp::Bytes ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return BytesOf(file.readAll());
}

void Append(zorp::Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

// A stage every test can recognise: a blue sphere top left, a yellow one
// bottom right, start facing right at column 3, row 7, 300 rings.
zorp::StageGrid CornerGrid()
{
    zorp::StageGrid grid{};
    grid[0] = zorp::Blue;
    grid[1023] = zorp::Yellow;
    return grid;
}

// The same stage as the two file versions store it, written out by hand.
zorp::Bytes CornerStageV2()
{
    zorp::Bytes out;
    Append(out, "ZORP_S3S_V2.00  ");
    out.resize(416, 0);
    out[16] = 2 << 5;  // cell 0 in the top three bits of the first group
    out[399] = 5;      // cell 1023 in the bottom three bits of the last group
    out[400] = 4;      // Right
    out[401] = 7;      // row
    out[402] = 3;      // column
    out[403] = 0x01;   // 300 rings
    out[404] = 0x2C;
    return out;
}

zorp::Bytes CornerStageV1()
{
    zorp::Bytes out;
    Append(out, "ZORP_S3SPECIALSTAGE");
    out.resize(544, 0);
    out[19] = 0x20;  // cells 0 and 1
    out[530] = 0x05; // cells 1022 and 1023
    out[531] = 4;
    out[532] = 7;
    out[533] = 3;
    out[534] = 0x01;
    out[535] = 0x2C;
    return out;
}

void PutU16(zorp::Bytes& out, int value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

// An S3S/C compilation of format 2 with three stages; stage k has a blue
// sphere at cell k and starts at row 10 + k, column 20 + k, facing down, with
// 100 + k rings. D = 200, so stage k lies at 218 + 400 k.
zorp::Bytes Compilation()
{
    zorp::Bytes out;
    Append(out, "ZORP_S3S_C      ");
    const uint32_t d = 200;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(d >> shift));
    out.push_back(3);
    Append(out, "abc");
    PutU16(out, 2);
    Append(out, "de");
    out.push_back(2); // format
    PutU16(out, 3);   // stages
    const char* names[] = {"First", "Second", "Third"};
    const char* descriptions[] = {"", "two", "The third stage"};
    for (int k = 0; k < 3; ++k) {
        out.push_back(static_cast<uint8_t>(std::strlen(names[k])));
        Append(out, names[k]);
        PutU16(out, static_cast<int>(std::strlen(descriptions[k])));
        Append(out, descriptions[k]);
    }
    out.resize(218 + 3 * 400, 0);
    for (int k = 0; k < 3; ++k) {
        const size_t at = 218 + 400 * static_cast<size_t>(k);
        // Cell k of group 0: code 2 at bits 23-3k .. 21-3k.
        const uint32_t bits = 2u << (21 - 3 * k);
        out[at] = static_cast<uint8_t>(bits >> 16);
        out[at + 1] = static_cast<uint8_t>(bits >> 8);
        out[at + 2] = static_cast<uint8_t>(bits);
        out[at + 384] = 2; // Down
        out[at + 385] = static_cast<uint8_t>(10 + k);
        out[at + 386] = static_cast<uint8_t>(20 + k);
        out[at + 387] = 0;
        out[at + 388] = static_cast<uint8_t>(100 + k);
    }
    return out;
}

std::optional<zorp::Bytes> SkStageSet()
{
    const QString path = QString(ZORP_CORPUS_DIR) + "/kosinski/sk__General__Special_Stage__Layout__SK_Set_1.kos.dec";
    if (!QFile::exists(path))
        return std::nullopt;
    return ReadFile(path);
}

} // namespace

class S3SpecialStageTest : public QObject {
    Q_OBJECT

private:
    ScriptedPlatform scripted_;
    std::unique_ptr<S3SpecialStage> stage_;
    QTemporaryDir dir_;
    int askedDirections_ = 0;
    std::deque<int> directions_;
    std::deque<int> chosenStages_;
    QStringList chooserNames_;

    QWidget* canvas() const { return stage_->findChild<QWidget*>("picSpecialStage"); }
    QAction* action(const char* key) const { return stage_->findChild<QAction*>(key); }
    QSpinBox* rings() const { return stage_->findChild<QSpinBox*>("udRings"); }
    QComboBox* combo() const { return stage_->findChild<QComboBox*>("cboSpecialStage"); }
    uint8_t cell(int column, int row) const { return stage_->GetStage()[zorp::CellIndex(column, row)]; }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, canvas()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas(), &event);
    }
    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, at, button, button);
    }
    void move(QPointF at) { mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
    void click(int column, int row)
    {
        const QPointF at(column * kCell + 6, row * kCell + 6);
        press(at);
        release(at);
    }
    QImage picture() const { return canvas()->grab().toImage(); }
    void setStart(int column, int row, int direction)
    {
        action("Arrow")->setChecked(true);
        directions_.push_back(direction);
        click(column, row);
    }

private slots:
    void init()
    {
        scripted_ = {};
        stage_ = std::make_unique<S3SpecialStage>(scripted_.platform());
        askedDirections_ = 0;
        directions_.clear();
        chosenStages_.clear();
        chooserNames_.clear();
        stage_->setDirectionAsker([this](QWidget*) {
            ++askedDirections_;
            if (directions_.empty())
                return 0;
            const int d = directions_.front();
            directions_.pop_front();
            return d;
        });
        stage_->setCompilationChooser([this](QWidget*, const zorp::S3SCIndex& index) {
            chooserNames_.clear();
            for (const auto& entry : index.entries)
                chooserNames_ << QString::fromStdString(entry.name);
            if (chosenStages_.empty())
                return -1;
            const int k = chosenStages_.front();
            chosenStages_.pop_front();
            return k;
        });
    }

    void cleanup()
    {
        QCOMPARE(scripted_.messages.unexpected, 0);
        QCOMPARE(scripted_.files.unexpected, 0);
        stage_.reset();
    }

    void defaults()
    {
        QCOMPARE(stage_->size(), QSize(386, 462));
        QCOMPARE(canvas()->size(), QSize(384, 384));
        QVERIFY(stage_->EnableYellowSphere());
        QVERIFY(stage_->EnableS3SFunctions());
        QVERIFY(stage_->ShowStageNumCombo());
        QVERIFY(stage_->ShowArrows());
        QVERIFY(!stage_->StageModified());
        QCOMPARE(stage_->Stages(), 8);
        QCOMPARE(stage_->CurrentStage(), 0);
        QStringList entries;
        for (int i = 0; i < combo()->count(); ++i)
            entries << combo()->itemText(i);
        QCOMPARE(entries, QStringList({"Stage 1", "Stage 2", "Stage 3", "Stage 4", "Stage 5", "Stage 6",
                                       "Stage 7", "Stage 8 (Secret)"}));
        // CurrentStage has no setter: the property system refuses a write.
        QVERIFY(!stage_->setProperty("CurrentStage", 3));
        QCOMPARE(stage_->CurrentStage(), 0);
        // A resize request keeps the fixed size.
        stage_->resize(600, 600);
        QCOMPARE(stage_->size(), QSize(386, 462));
    }

    void toolBarKeysTipsAndOrder()
    {
        auto* toolBar = stage_->findChild<QToolBar*>("tlbObject");
        QVERIFY(toolBar);
        QStringList keys;
        QStringList tips;
        for (QAction* a : toolBar->actions()) {
            keys << a->objectName();
            tips << (a->isSeparator() ? QString() : a->toolTip());
        }
        QCOMPARE(keys, QStringList({"Empty", "Blue", "Red", "Yellow", "Star", "Ring", "Arrow", "Clear", "S3S_Sep",
                                    "Export", "Import"}));
        QCOMPARE(tips, QStringList({"Delete spheres", "Place blue spheres on the stage.",
                                    "Place red spheres on the stage.", "Place yellow spheres on the stage.",
                                    "Place star spheres on the stage.", "Place rings on the stage.",
                                    "Set the player's starting position.", "Clear the special stage.", QString(),
                                    "Export the special stage to an S3S file.",
                                    "Import a special stage from an S3S file."}));
        // The buttons carry the keys as well.
        for (const char* key : {"Empty", "Blue", "Arrow", "Clear", "Import"})
            QVERIFY2(stage_->findChild<QToolButton*>(key), key);
        // The seven object tools are one exclusive group.
        action("Blue")->setChecked(true);
        action("Ring")->setChecked(true);
        QVERIFY(!action("Blue")->isChecked());
        QVERIFY(!action("Clear")->isCheckable());
    }

    void paintEachTool_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<int>("code");
        QTest::newRow("Blue") << "Blue" << 2;
        QTest::newRow("Red") << "Red" << 1;
        QTest::newRow("Yellow") << "Yellow" << 5;
        QTest::newRow("Star") << "Star" << 3;
        QTest::newRow("Ring") << "Ring" << 4;
    }

    void paintEachTool()
    {
        QFETCH(QString, tool);
        QFETCH(int, code);
        const QImage before = picture();
        action(tool.toLatin1().constData())->setChecked(true);
        click(3, 4);
        QCOMPARE(int(cell(3, 4)), code);
        QVERIFY(stage_->StageModified());
        // The cell's picture changed and its neighbour's did not.
        const QImage after = picture();
        QVERIFY(after.copy(36, 48, 12, 12) != before.copy(36, 48, 12, 12));
        QCOMPARE(after.copy(48, 48, 12, 12), before.copy(48, 48, 12, 12));
        // Deleting brings back the bare floor.
        action("Empty")->setChecked(true);
        click(3, 4);
        QCOMPARE(int(cell(3, 4)), 0);
        QCOMPARE(picture().copy(36, 48, 12, 12), before.copy(36, 48, 12, 12));
    }

    void pressesThatDoNothing()
    {
        // No tool chosen.
        click(1, 1);
        QCOMPARE(int(cell(1, 1)), 0);
        action("Blue")->setChecked(true);
        // Right and middle buttons.
        press(QPointF(18, 18), Qt::RightButton);
        release(QPointF(18, 18), Qt::RightButton);
        press(QPointF(18, 18), Qt::MiddleButton);
        release(QPointF(18, 18), Qt::MiddleButton);
        // Outside the 32 x 32 cells (the pointer can report these while captured).
        for (QPointF outside : {QPointF(-3, 5), QPointF(5, -3), QPointF(384, 5), QPointF(5, 390)}) {
            press(outside);
            release(outside);
        }
        QCOMPARE(stage_->GetStage(), zorp::StageGrid{});
        QVERIFY(!stage_->StageModified());
        QCOMPARE(stage_->undoStack()->count(), 0);
    }

    void pointerPositionIsRounded()
    {
        action("Blue")->setChecked(true);
        // 11.4 rounds to 11 (column 0); 23.5 rounds to 24 (column 2).
        press(QPointF(11.4, 0.2));
        release(QPointF(11.4, 0.2));
        QCOMPARE(int(cell(0, 0)), 2);
        QCOMPARE(int(cell(1, 0)), 0);
        press(QPointF(23.5, 0));
        release(QPointF(23.5, 0));
        QCOMPARE(int(cell(2, 0)), 2);
        QCOMPARE(int(cell(1, 0)), 0);
        // The last pixel row of the grid is 383; 383.6 rounds off the grid.
        press(QPointF(5, 383.6));
        release(QPointF(5, 383.6));
        QCOMPARE(int(cell(0, 31)), 0);
    }

    void dragPaintsOneCellPerMove()
    {
        action("Blue")->setChecked(true);
        press(QPointF(5, 5));
        QCOMPARE(int(cell(0, 0)), 2);
        // A jump of several cells paints only where the move is reported.
        move(QPointF(5 + 5 * kCell, 5));
        QCOMPARE(int(cell(5, 0)), 2);
        for (int column = 1; column < 5; ++column)
            QCOMPARE(int(cell(column, 0)), 0);
        move(QPointF(17, 5));
        QCOMPARE(int(cell(1, 0)), 2);
        // A move to the same pixel paints nothing, even with another tool.
        action("Red")->setChecked(true);
        move(QPointF(17, 5));
        QCOMPARE(int(cell(1, 0)), 2);
        // Another pixel of the same cell is a new position and paints.
        move(QPointF(18, 5));
        QCOMPARE(int(cell(1, 0)), 1);
        release(QPointF(18, 5));
        // Moves without the left button paint nothing.
        mouse(QEvent::MouseMove, QPointF(5, 30), Qt::NoButton, Qt::NoButton);
        QCOMPARE(int(cell(0, 2)), 0);
    }

    void strokeIsOneUndoCommand()
    {
        action("Blue")->setChecked(true);
        press(QPointF(5, 5));
        move(QPointF(17, 5));
        move(QPointF(29, 5));
        move(QPointF(17, 6)); // back over a painted cell
        release(QPointF(17, 6));
        QCOMPARE(stage_->undoStack()->count(), 1);
        QCOMPARE(stage_->undoStack()->undoText(), QString("Place Blue Spheres"));
        QVERIFY(stage_->StageModified());
        const zorp::StageGrid painted = stage_->GetStage();

        stage_->undoStack()->undo();
        QCOMPARE(stage_->GetStage(), zorp::StageGrid{});
        QVERIFY2(!stage_->StageModified(), "undo back to the saved state clears the flag");
        stage_->undoStack()->redo();
        QCOMPARE(stage_->GetStage(), painted);
        QVERIFY(stage_->StageModified());

        // A second stroke is a second command; painting what is already there is none.
        press(QPointF(5, 30));
        release(QPointF(5, 30));
        press(QPointF(5, 5));
        release(QPointF(5, 5));
        QCOMPARE(stage_->undoStack()->count(), 2);
    }

    void modifiedFollowsCleanState()
    {
        QSignalSpy changes(stage_.get(), &S3SpecialStage::StageModifiedChanged);
        action("Red")->setChecked(true);
        click(0, 0);
        stage_->setStageModified(false); // as after a save
        QVERIFY(!stage_->StageModified());
        click(1, 0);
        QVERIFY(stage_->StageModified());
        stage_->undoStack()->undo();
        QVERIFY(!stage_->StageModified());
        stage_->undoStack()->undo(); // before the save: modified again
        QVERIFY(stage_->StageModified());
        QCOMPARE(changes.count(), 5);
        // The host may set the flag itself; undo cannot clear that.
        stage_->undoStack()->redo();
        stage_->setStageModified(true);
        QVERIFY(stage_->StageModified());
    }

    void startPositionWithAndWithoutCancel()
    {
        action("Arrow")->setChecked(true);
        directions_.push_back(0); // cancelled
        click(5, 6);
        QCOMPARE(askedDirections_, 1);
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(0));
        QVERIFY(!stage_->StageModified());
        // Cancelling leaves a set flag set too.
        stage_->setStageModified(true);
        directions_.push_back(0);
        click(5, 6);
        QVERIFY(stage_->StageModified());
        stage_->setStageModified(false);

        directions_.push_back(S3S_Left);
        click(5, 6);
        const zorp::StartData start = stage_->GetArrowProperties();
        QCOMPARE(start.Direction, int16_t(S3S_Left));
        QCOMPARE(start.Column, 5);
        QCOMPARE(start.Row, 6);
        QVERIFY(stage_->StageModified());
        QCOMPARE(stage_->undoStack()->undoText(), QString("Set Starting Position"));

        // Dragging with the start tool never asks.
        const QPointF from(5 * kCell + 2, 6 * kCell + 2);
        directions_.push_back(S3S_Up);
        press(from);
        move(from + QPointF(30, 0));
        move(from + QPointF(60, 0));
        release(from + QPointF(60, 0));
        QCOMPARE(askedDirections_, 4);

        stage_->undoStack()->undo();
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(S3S_Left));
        stage_->undoStack()->undo();
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(0));
        QVERIFY(!stage_->StageModified());
    }

    void startMarkerPixels_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QList<QPoint>>("black");
        QTest::addColumn<QList<QPoint>>("notBlack");
        // Pixels inside the cell: both base corners, a point in the middle of
        // the base, the two apex pixels 5 and 6 of the facing edge.
        QTest::newRow("up") << int(S3S_Up)
                            << QList<QPoint>{{0, 11}, {11, 11}, {5, 11}, {5, 0}, {6, 0}}
                            << QList<QPoint>{{0, 0}, {11, 0}, {6, 6}};
        QTest::newRow("down") << int(S3S_Down)
                              << QList<QPoint>{{0, 0}, {11, 0}, {5, 0}, {5, 11}, {6, 11}}
                              << QList<QPoint>{{0, 11}, {11, 11}, {6, 5}};
        QTest::newRow("left") << int(S3S_Left)
                              << QList<QPoint>{{11, 0}, {11, 11}, {11, 5}, {0, 5}, {0, 6}}
                              << QList<QPoint>{{0, 0}, {0, 11}, {6, 6}};
        QTest::newRow("right") << int(S3S_Right)
                               << QList<QPoint>{{0, 0}, {0, 11}, {0, 5}, {11, 5}, {11, 6}}
                               << QList<QPoint>{{11, 0}, {11, 11}, {5, 6}};
    }

    void startMarkerPixels()
    {
        QFETCH(int, direction);
        QFETCH(QList<QPoint>, black);
        QFETCH(QList<QPoint>, notBlack);
        setStart(9, 4, direction);
        const QImage image = picture();
        const QPoint cellAt(9 * kCell, 4 * kCell);
        for (const QPoint& p : black)
            QVERIFY2(image.pixelColor(cellAt + p) == Qt::black, qPrintable(QString("(%1,%2)").arg(p.x()).arg(p.y())));
        for (const QPoint& p : notBlack)
            QVERIFY2(image.pixelColor(cellAt + p) != Qt::black, qPrintable(QString("(%1,%2)").arg(p.x()).arg(p.y())));
    }

    void startOnRingKeepsRingAndMarker()
    {
        const QImage empty = picture();
        action("Ring")->setChecked(true);
        click(7, 8);
        const QImage ring = picture();
        setStart(7, 8, S3S_Up);
        QCOMPARE(int(cell(7, 8)), int(zorp::Ring));
        const QImage both = picture();
        const QPoint at(7 * kCell, 8 * kCell);
        // Marker pixels are black...
        for (QPoint p : {QPoint(0, 11), QPoint(11, 11), QPoint(5, 0), QPoint(6, 0)})
            QCOMPARE(both.pixelColor(at + p), QColor(Qt::black));
        // ...and the ring's pixels away from the marker lines are still the ring's.
        int ringPixelsKept = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                if (ring.pixel(at + QPoint(x, y)) != empty.pixel(at + QPoint(x, y)) &&
                    both.pixel(at + QPoint(x, y)) == ring.pixel(at + QPoint(x, y)))
                    ++ringPixelsKept;
        QVERIFY2(ringPixelsKept > 20, qPrintable(QString::number(ringPixelsKept)));

        // Painting the start cell later draws the marker over the new object.
        action("Blue")->setChecked(true);
        click(7, 8);
        const QImage blue = picture();
        for (QPoint p : {QPoint(0, 11), QPoint(11, 11), QPoint(5, 0), QPoint(6, 0)})
            QCOMPARE(blue.pixelColor(at + p), QColor(Qt::black));
        const QColor centre = blue.pixelColor(at + QPoint(6, 7));
        QVERIFY2(centre.blue() > 150 && centre.red() < 120, qPrintable(centre.name()));

        // Moving the start takes the marker off the old cell.
        setStart(0, 0, S3S_Up);
        const QImage moved = picture();
        QVERIFY(moved.pixelColor(at + QPoint(0, 11)) != Qt::black);
        QCOMPARE(moved.pixelColor(QPoint(5, 0)), QColor(Qt::black));
    }

    void clearAsksFirst()
    {
        stage_->PutStage(CornerGrid());
        stage_->SetArrowProperties(S3S_Right, 7, 3, 300);
        stage_->setStageModified(false);

        scripted_.messages.answer(Answer::No);
        action("Clear")->trigger();
        QCOMPARE(scripted_.messages.asked.size(), 1);
        const MessageRequest& question = scripted_.messages.asked[0];
        QCOMPARE(question.title, QString("Clear Special Stage"));
        QCOMPARE(question.text, QString("Are you sure you want to clear the special stage?\n(You can always revert "
                                        "to the original stage by clicking\nthe Open button.)"));
        QCOMPARE(question.icon, Icon::Question);
        QCOMPARE(question.buttons, Buttons::YesNo);
        QCOMPARE(stage_->GetStage(), CornerGrid());
        QVERIFY(!stage_->StageModified());

        scripted_.messages.answer(Answer::Yes);
        action("Clear")->trigger();
        QCOMPARE(stage_->GetStage(), zorp::StageGrid{});
        QVERIFY(stage_->StageModified());
        // The start stays; the ring box waits for start data.
        QCOMPARE(stage_->GetArrowProperties().Column, 3);
        QCOMPARE(stage_->GetArrowProperties().Rings, 300);
        QVERIFY(rings()->isHidden());
        QVERIFY(!rings()->isEnabled());

        stage_->undoStack()->undo();
        QCOMPARE(stage_->GetStage(), CornerGrid());
        QVERIFY(!rings()->isHidden());
        QVERIFY(!stage_->StageModified());
    }

    void exportBothVersions_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("v2.00") << 1 << Latin1(CornerStageV2());
        QTest::newRow("v1.00") << 2 << Latin1(CornerStageV1());
    }

    void exportBothVersions()
    {
        QFETCH(int, filter);
        QFETCH(QByteArray, expected);
        stage_->PutStage(CornerGrid());
        stage_->SetArrowProperties(S3S_Right, 7, 3, 300);
        stage_->setStageModified(false);
        const QString path = dir_.filePath("out.S3S");
        QVERIFY(WriteFile(path, zorp::Bytes(2000, 0xAA))); // an older, longer file is replaced
        scripted_.files.choose(path, filter);
        action("Export")->trigger();

        QCOMPARE(scripted_.files.asked.size(), 1);
        const FileDialogRequest& request = scripted_.files.asked[0];
        QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(request.title, QString("Export Special Stage"));
        QCOMPARE(request.filter, QString("ZORP S3S v2.00 file (*.S3S)|*.S3S|ZORP S3S v1.00 file (*.S3S)|*.S3S"));
        QVERIFY(request.confirmOverwrite);
        const QByteArray written = Latin1(ReadFile(path));
        QCOMPARE(written.size(), filter == 1 ? 416 : 544);
        QCOMPARE(written, expected);
        QVERIFY(!stage_->StageModified());
        QVERIFY(scripted_.messages.asked.isEmpty());
    }

    void exportCancelledAndFailed()
    {
        scripted_.files.cancel();
        action("Export")->trigger();
        QVERIFY(scripted_.messages.asked.isEmpty());

        const QString path = dir_.filePath("no/such/folder/out.S3S");
        scripted_.files.choose(path, 1);
        scripted_.messages.answer(Answer::Ok);
        action("Export")->trigger();
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Critical);
        QCOMPARE(scripted_.messages.asked[0].title, QString("Export Special Stage"));
        QVERIFY(scripted_.messages.asked[0].text.contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!stage_->StageModified());
    }

    void importV1AndV2()
    {
        const QString v1 = dir_.filePath("one.S3S");
        const QString v2 = dir_.filePath("two.S3S");
        QVERIFY(WriteFile(v1, CornerStageV1()));
        QVERIFY(WriteFile(v2, CornerStageV2()));
        for (const QString& path : {v1, v2}) {
            init();
            scripted_.files.choose(path);
            action("Import")->trigger();
            const FileDialogRequest& request = scripted_.files.asked[0];
            QCOMPARE(request.mode, FileDialogRequest::Mode::Open);
            QCOMPARE(request.title, QString("Import Special Stage"));
            QCOMPARE(request.filter, QString("ZORP S3S format special stages (v1/2) (*.S3S)|*.S3S"));
            QVERIFY(request.mustExist);
            QCOMPARE(stage_->GetStage(), CornerGrid());
            const zorp::StartData start = stage_->GetArrowProperties();
            QCOMPARE(start.Direction, int16_t(S3S_Right));
            QCOMPARE(start.Row, 7);
            QCOMPARE(start.Column, 3);
            QCOMPARE(start.Rings, 300);
            QCOMPARE(rings()->value(), 300);
            QVERIFY(!rings()->isHidden());
            QVERIFY(stage_->StageModified());
            QVERIFY(scripted_.messages.asked.isEmpty()); // no comment, no box
            // Import is one command.
            QCOMPARE(stage_->undoStack()->undoText(), QString("Import Special Stage"));
            stage_->undoStack()->undo();
            QCOMPARE(stage_->GetStage(), zorp::StageGrid{});
            QCOMPARE(stage_->GetArrowProperties().Rings, 0);
            QVERIFY(!stage_->StageModified());
            cleanup();
        }
        init();
    }

    void importV2ShowsItsComment()
    {
        zorp::Bytes file = CornerStageV2();
        Append(file, "Made by hand\nfor the tests");
        file.push_back(0xFF);
        Append(file, "ignored");
        const QString path = dir_.filePath("Commented.S3S");
        QVERIFY(WriteFile(path, file));
        scripted_.files.choose(path);
        scripted_.messages.answer(Answer::Ok);
        action("Import")->trigger();
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].title, QString("S3S Comments - Commented.S3S"));
        QCOMPARE(scripted_.messages.asked[0].text, QString("Made by hand\nfor the tests"));
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Information);
        QCOMPARE(stage_->GetStage(), CornerGrid());

        // The host's own load names the comment after the file name it passes.
        scripted_.messages.answer(Answer::Ok);
        stage_->LoadV2SS(file, "Given.S3S");
        QCOMPARE(scripted_.messages.asked.last().title, QString("S3S Comments - Given.S3S"));
        // A comment made of a lone 0xFF is none.
        zorp::Bytes quiet = CornerStageV2();
        quiet.push_back(0xFF);
        stage_->LoadV2SS(quiet);
        QCOMPARE(scripted_.messages.asked.size(), 2);
    }

    void importWithoutStartData()
    {
        stage_->setShowArrows(false);
        const QString path = dir_.filePath("one.S3S");
        QVERIFY(WriteFile(path, CornerStageV1()));
        scripted_.files.choose(path);
        action("Import")->trigger();
        QCOMPARE(stage_->GetStage(), CornerGrid());
        const zorp::StartData start = stage_->GetArrowProperties();
        QCOMPARE(start.Direction, int16_t(0)); // start data untouched
        QCOMPARE(start.Column, 0);
        QCOMPARE(start.Rings, 300);            // the ring count is still taken
        QVERIFY(rings()->isHidden());
    }

    void importCompilation()
    {
        const QString path = dir_.filePath("set.S3S");
        QVERIFY(WriteFile(path, Compilation()));
        chosenStages_.push_back(2);
        scripted_.files.choose(path);
        action("Import")->trigger();
        QCOMPARE(chooserNames_, QStringList({"First", "Second", "Third"}));
        zorp::StageGrid expected{};
        expected[2] = zorp::Blue;
        QCOMPARE(stage_->GetStage(), expected);
        const zorp::StartData start = stage_->GetArrowProperties();
        QCOMPARE(start.Direction, int16_t(S3S_Down));
        QCOMPARE(start.Row, 12);
        QCOMPARE(start.Column, 22);
        QCOMPARE(start.Rings, 102);
        QVERIFY(stage_->StageModified());
        QVERIFY(scripted_.messages.asked.isEmpty());
    }

    void importThatLoadsNothingStillMarksModified()
    {
        const QString set = dir_.filePath("set.S3S");
        QVERIFY(WriteFile(set, Compilation()));
        // No stage chosen in the chooser.
        scripted_.files.choose(set);
        action("Import")->trigger();
        QCOMPARE(chooserNames_.size(), 3);
        QCOMPARE(stage_->GetStage(), zorp::StageGrid{});
        QVERIFY(stage_->StageModified());
        QVERIFY(scripted_.messages.asked.isEmpty());

        // A file of no known kind.
        stage_->setStageModified(false);
        const QString junk = dir_.filePath("junk.S3S");
        QVERIFY(WriteFile(junk, zorp::Bytes(600, 0x11)));
        scripted_.files.choose(junk);
        scripted_.messages.answer(Answer::Ok);
        action("Import")->trigger();
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].title, QString("Invalid S3S File"));
        QCOMPARE(scripted_.messages.asked[0].text, QString("The selected S3S file is invalid."));
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Critical);
        QVERIFY(stage_->StageModified());

        // A compilation whose index is broken: a clear message, no chooser.
        stage_->setStageModified(false);
        zorp::Bytes broken = Compilation();
        broken[31] = 0; // first name length
        const QString bad = dir_.filePath("bad.S3S");
        QVERIFY(WriteFile(bad, broken));
        chooserNames_.clear();
        scripted_.files.choose(bad);
        scripted_.messages.answer(Answer::Ok);
        action("Import")->trigger();
        QCOMPARE(scripted_.messages.asked.size(), 2);
        QCOMPARE(scripted_.messages.asked[1].title, QString("Invalid S3S File"));
        QVERIFY(scripted_.messages.asked[1].text.contains("empty name"));
        QVERIFY(chooserNames_.isEmpty());
        QVERIFY(stage_->StageModified());

        // Cancelling the file dialog ends the command without a change.
        stage_->setStageModified(false);
        scripted_.files.cancel();
        action("Import")->trigger();
        QVERIFY(!stage_->StageModified());
    }

    void stagesRefillsWithoutStageChanged()
    {
        QSignalSpy changed(stage_.get(), &S3SpecialStage::StageChanged);
        stage_->setStages(3);
        QCOMPARE(combo()->count(), 3);
        QCOMPARE(combo()->itemText(0), QString("Stage 1"));
        QCOMPARE(combo()->itemText(2), QString("Stage 3"));
        QCOMPARE(stage_->CurrentStage(), 0);
        QCOMPARE(changed.count(), 0);

        combo()->setCurrentIndex(2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toInt(), 0);
        QCOMPARE(changed[0][1].toInt(), 2);
        combo()->setCurrentIndex(2); // the same entry again
        QCOMPARE(changed.count(), 1);
        combo()->setCurrentIndex(1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed[1][0].toInt(), 2);
        QCOMPARE(changed[1][1].toInt(), 1);

        // Refilling while another stage is selected raises nothing either.
        stage_->setStages(48);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(stage_->CurrentStage(), 0);
        QCOMPARE(combo()->itemText(39), QString("Stage 40"));
        combo()->setCurrentIndex(39);
        QCOMPARE(changed.last()[0].toInt(), 0);
        QCOMPARE(changed.last()[1].toInt(), 39);
    }

    void propertiesShowAndHide()
    {
        stage_->setEnableYellowSphere(false);
        QVERIFY(!stage_->EnableYellowSphere());
        QVERIFY(!action("Yellow")->isVisible());
        stage_->setEnableS3SFunctions(false);
        QVERIFY(!stage_->EnableS3SFunctions());
        for (const char* key : {"S3S_Sep", "Export", "Import"})
            QVERIFY2(!action(key)->isVisible(), key);
        stage_->setShowStageNumCombo(false);
        QVERIFY(!stage_->ShowStageNumCombo());
        QVERIFY(combo()->isHidden());
        action("Arrow")->setChecked(true);
        stage_->setShowArrows(false);
        QVERIFY(!stage_->ShowArrows());
        QVERIFY(!action("Arrow")->isVisible());
        QVERIFY2(!action("Arrow")->isChecked(), "a hidden tool is no longer in use");
        // The same through the property system, as a host would.
        QVERIFY(stage_->setProperty("EnableYellowSphere", true));
        QVERIFY(action("Yellow")->isVisible());
        QVERIFY(stage_->setProperty("Stages", 2));
        QCOMPARE(combo()->count(), 2);
    }

    void hostLoadsARealStage()
    {
        const auto set = SkStageSet();
        if (!set)
            QSKIP("corpus not present");
        QCOMPARE(set->size(), size_t(8256));
        // Stage 5 of the S&K set: facing down from (15, 15), 68 rings.
        const zorp::StageRecord record = zorp::ReadStageRecord(*set, 4);
        stage_->PutStage(record.cells);
        QVERIFY(rings()->isHidden());
        stage_->ArrowProperties(record.properties);
        stage_->setStageModified(false);
        QVERIFY(!rings()->isHidden());
        QCOMPARE(stage_->GetStage(), record.cells);
        int16_t direction = 0;
        int32_t row = 0, column = 0, ringCount = 0;
        stage_->GetArrowProperties(&direction, &row, &column, &ringCount);
        QCOMPARE(direction, int16_t(S3S_Down));
        QCOMPARE(column, 15);
        QCOMPARE(row, 15);
        QCOMPARE(ringCount, 0x44);
        QCOMPARE(zorp::MakeProperties(stage_->GetArrowProperties()), record.properties);
        QCOMPARE(stage_->undoStack()->count(), 0);
        QVERIFY(!stage_->StageModified());
    }

    void hostCallsKeepTheFlagAndStartANewHistory()
    {
        action("Blue")->setChecked(true);
        click(0, 0);
        QVERIFY(stage_->StageModified());
        // Another stage is shown: the paint cannot be undone on it, and the
        // flag stays until the host clears it.
        stage_->PutStage(CornerGrid());
        QCOMPARE(stage_->undoStack()->count(), 0);
        QVERIFY(stage_->StageModified());
        stage_->setStageModified(false);

        // ArrowProperties: an unknown angle keeps the direction; rings above
        // 1024 become 1024, and the ring box change counts as a change.
        stage_->SetArrowProperties(S3S_Left, 1, 2, 5);
        stage_->setStageModified(false);
        stage_->ArrowProperties({0x20, 0, 9, 0, 8, 0, 0x05, 0x00});
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(S3S_Left));
        QCOMPARE(stage_->GetArrowProperties().Column, 9);
        QCOMPARE(stage_->GetArrowProperties().Row, 8);
        QCOMPARE(stage_->GetArrowProperties().Rings, 1024);
        QCOMPARE(rings()->value(), 1024);
        QVERIFY(stage_->StageModified());

        // Without start data the properties are ignored and the ring box hidden.
        stage_->setShowArrows(false);
        stage_->ArrowProperties({0x80, 0, 1, 0, 1, 0, 0, 7});
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(S3S_Left));
        QVERIFY(rings()->isHidden());
    }

    void ringCountEdits()
    {
        stage_->SetArrowProperties(S3S_Up, 0, 0, 10);
        stage_->setStageModified(false);
        rings()->setValue(11);
        rings()->setValue(12);
        QVERIFY(stage_->StageModified());
        QCOMPARE(stage_->GetArrowProperties().Rings, 12);
        QCOMPARE(stage_->undoStack()->count(), 1); // consecutive changes merge
        QCOMPARE(stage_->undoStack()->undoText(), QString("Change Ring Count"));
        stage_->undoStack()->undo();
        QCOMPARE(rings()->value(), 10);
        QCOMPARE(stage_->GetArrowProperties().Rings, 10);
        QVERIFY(!stage_->StageModified());
        // The box holds at most 1024.
        rings()->setValue(5000);
        QCOMPARE(stage_->GetArrowProperties().Rings, 1024);
        // Typing into the text box edits the count too.
        auto* text = rings()->findChild<QLineEdit*>("txtRings");
        QVERIFY(text);
        text->selectAll();
        QTest::keyClicks(text, "77");
        QCOMPARE(stage_->GetArrowProperties().Rings, 77);
    }

    void drawSphereOnlyDraws()
    {
        const QImage before = picture();
        stage_->DrawSphere(4, 4, zorp::Red);
        QVERIFY(picture() != before);
        QCOMPARE(int(cell(4, 4)), 0); // the grid is unchanged
        // Codes without a picture and cells off the grid draw nothing harmful.
        stage_->DrawSphere(4, 4, 9);
        QCOMPARE(picture(), before);
        stage_->DrawSphere(32, 0, zorp::Red);
        stage_->DrawSphere(-1, 3, zorp::Red);
        QCOMPARE(picture(), before);
        // An unknown cell code is kept, drawn empty and written back as it was.
        zorp::StageGrid grid{};
        grid[10] = 7;
        stage_->PutStage(grid);
        QCOMPARE(stage_->GetStage()[10], uint8_t(7));
        QCOMPARE(picture(), before);
    }

    void startOffTheGridIsKeptButNotDrawn()
    {
        const QImage before = picture();
        stage_->SetArrowProperties(S3S_Up, 200, 40, 3);
        QCOMPARE(stage_->GetArrowProperties().Row, 200);
        QCOMPARE(stage_->GetArrowProperties().Column, 40);
        QCOMPARE(picture(), before);
        const zorp::Bytes v2 = stage_->SaveV2SS();
        QCOMPARE(int(v2[401]), 200);
        QCOMPARE(int(v2[402]), 40);
    }

    void everyControlHasAnAccessibleName()
    {
        for (QWidget* widget : stage_->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(face);
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        }
    }

    // The grid without a mouse: arrow keys move the cursor (stopping at the
    // border), digits and initials choose tools, Space or Enter places one
    // (one command per key), Delete empties, Page Up / Page Down change stages.
    void keyboardWorksTheGrid()
    {
        stage_->setStages(3);
        QSignalSpy changed(stage_.get(), &S3SpecialStage::StageChanged);
        auto keys = [&](std::initializer_list<Qt::Key> list) {
            for (Qt::Key k : list)
                QTest::keyClick(canvas(), k);
        };
        keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
              Qt::Key_2, Qt::Key_Space});
        QCOMPARE(int(cell(3, 4)), int(zorp::Blue));
        QVERIFY(action("Blue")->isChecked());
        keys({Qt::Key_Right, Qt::Key_R, Qt::Key_Return});
        QCOMPARE(int(cell(4, 4)), int(zorp::Red));
        QCOMPARE(stage_->undoStack()->count(), 2);
        keys({Qt::Key_Left, Qt::Key_Delete});
        QCOMPARE(int(cell(3, 4)), 0);
        keys({Qt::Key_Home, Qt::Key_Left, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up});
        QCOMPARE(stage_->keyboard()->cursor(), QPoint(0, 0));
        directions_.push_back(S3S_Down);
        keys({Qt::Key_7, Qt::Key_Enter});
        QCOMPARE(stage_->GetArrowProperties().Direction, int16_t(S3S_Down));
        QCOMPARE(stage_->GetArrowProperties().Column, 0);
        keys({Qt::Key_PageDown});
        QCOMPARE(combo()->currentIndex(), 1);
        keys({Qt::Key_PageUp, Qt::Key_PageUp});
        QCOMPARE(combo()->currentIndex(), 0);
        QCOMPARE(changed.count(), 2);

        // The cursor shows while the grid has the keyboard focus.
        stage_->show();
        stage_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(stage_.get()));
        keys({Qt::Key_Right, Qt::Key_Right});
        const QImage unfocused = picture();
        canvas()->setFocus();
        QTRY_VERIFY(canvas()->hasFocus());
        const QImage focused = picture();
        QVERIFY(focused.copy(2 * kCell, 0, kCell, kCell) != unfocused.copy(2 * kCell, 0, kCell, kCell));
        QCOMPARE(focused.copy(5 * kCell, 5 * kCell, kCell, kCell), unfocused.copy(5 * kCell, 5 * kCell, kCell, kCell));
    }

    void screenshotOfARealStage()
    {
        const auto set = SkStageSet();
        if (!set)
            QSKIP("corpus not present");
        const zorp::StageRecord record = zorp::ReadStageRecord(*set, 0);
        stage_->setStages(8);
        stage_->PutStage(record.cells);
        stage_->ArrowProperties(record.properties);
        stage_->setStageModified(false);
        action("Blue")->setChecked(true);
        stage_->show();
        QVERIFY(QTest::qWaitForWindowExposed(stage_.get()));
        const QImage shot = stage_->grab().toImage();
        QCOMPARE(shot.size(), QSize(386, 462));
        // Every blue sphere cell of the real stage shows blue in its middle.
        for (int index = 0; index < zorp::kStageCells; ++index) {
            if (record.cells[index] != zorp::Blue)
                continue;
            const QColor c = shot.pixelColor(1 + (index % 32) * kCell + 5, 25 + (index / 32) * kCell + 6);
            QVERIFY2(c.blue() > 150 && c.red() < 120, qPrintable(QString::number(index)));
        }
        const QByteArray dir = qgetenv("ZORP_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(dir) + "/specialstage.png"));
    }
};

QTEST_MAIN(S3SpecialStageTest)
#include "S3SpecialStageTest.moc"
