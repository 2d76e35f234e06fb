// The line under the grid (object counts as they change, the warning for a
// stage without blue spheres) and "Export Image...": the PNG holds the stage
// as shown, cell for cell.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "platform/testing/ScriptedPlatform.h"
#include "specialstage/S3SpecialStage.h"
#include "specialstage/StagePictures.h"
#include "specialstage/tests/StagePixelCheck.h"

using namespace zorp::ui;

class StageCountsImageTest : public QObject {
    Q_OBJECT

private:
    ScriptedPlatform scripted_;
    std::unique_ptr<S3SpecialStage> stage_;

    QString counts() const { return stage_->findChild<QLabel*>("lblStageCounts")->text(); }
    QString warning() const { return stage_->findChild<QLabel*>("lblStageWarning")->text(); }
    void clickCell(int column, int row)
    {
        QWidget* canvas = stage_->findChild<QWidget*>("picSpecialStage");
        const QPointF at(column * 12 + 6, row * 12 + 6);
        QMouseEvent press(QEvent::MouseButtonPress, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &release);
    }

    // One of each object along row 3, two blue spheres, the start facing up at (10, 10).
    static zorp::StageGrid SampleGrid()
    {
        zorp::StageGrid grid{};
        const uint8_t codes[] = {zorp::Red, zorp::Blue, zorp::Star, zorp::Ring, zorp::Yellow, zorp::Blue, 0x09};
        for (int i = 0; i < 7; ++i)
            grid[zorp::CellIndex(2 + i, 3)] = codes[i];
        return grid;
    }

private slots:
    void init()
    {
        scripted_ = {};
        stage_ = std::make_unique<S3SpecialStage>(scripted_.platform());
        stage_->PutStage(SampleGrid());
        stage_->SetArrowProperties(S3S_Up, 10, 10, 50);
    }

    void cleanup()
    {
        QCOMPARE(scripted_.messages.unexpected, 0);
        stage_.reset();
    }

    // Each kind counted as itself: counts that differ kind by kind show a mix-up.
    void countsTellEachKindApart()
    {
        zorp::StageGrid grid{};
        size_t at = 0;
        for (const auto& [code, count] : {std::pair{zorp::Red, 1}, std::pair{zorp::Blue, 2},
                                          std::pair{zorp::Star, 3}, std::pair{zorp::Ring, 4}}) {
            for (int i = 0; i < count; ++i)
                grid[at++] = code;
        }
        for (int i = 0; i < 5; ++i)
            grid[at++] = zorp::Yellow;
        stage_->PutStage(grid);
        QCOMPARE(counts(), QStringLiteral("Blue 2, Red 1, Rings 4, Stars 3, Yellow 5"));
    }

    void countsFollowEditsAndUndo()
    {
        QCOMPARE(counts(), QStringLiteral("Blue 2, Red 1, Rings 1, Stars 1, Yellow 1"));
        QVERIFY(warning().isEmpty());

        stage_->findChild<QAction*>("Blue")->setChecked(true);
        clickCell(20, 20);
        QCOMPARE(counts(), QStringLiteral("Blue 3, Red 1, Rings 1, Stars 1, Yellow 1"));
        stage_->findChild<QAction*>("Empty")->setChecked(true);
        clickCell(3, 3);
        clickCell(7, 3);
        clickCell(20, 20);
        QCOMPARE(counts(), QStringLiteral("Blue 0, Red 1, Rings 1, Stars 1, Yellow 1"));
        QCOMPARE(warning(), QStringLiteral("No blue sphere: it can never be finished."));
        // The warning never blocks: the stage is still edited and saved as it is.
        QCOMPARE(scripted_.messages.asked.size(), 0);
        stage_->undoStack()->undo();
        QCOMPARE(counts(), QStringLiteral("Blue 1, Red 1, Rings 1, Stars 1, Yellow 1"));
        QVERIFY(warning().isEmpty());

        // Games without yellow spheres leave them out of the line.
        stage_->PutStage(zorp::StageGrid{});
        stage_->setEnableYellowSphere(false);
        QCOMPARE(counts(), QStringLiteral("Blue 0, Red 0, Rings 0, Stars 0"));
        QVERIFY(!warning().isEmpty());
    }

    void exportedImageShowsEveryCell()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("stage.png");
        scripted_.files.choose(path);
        QTest::mouseClick(stage_->findChild<QPushButton*>("cmdExportImage"), Qt::LeftButton);
        QCOMPARE(scripted_.files.asked.size(), 1);
        QCOMPARE(scripted_.files.asked[0].title, QStringLiteral("Export Image"));
        QCOMPARE(scripted_.files.asked[0].filter, QStringLiteral("PNG Images (*.png)|*.png"));

        QImage image(path);
        QCOMPARE(image.size(), QSize(384, 384));
        const zorp::StageGrid grid = stage_->GetStage();
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                if (column == 10 && row == 10)
                    continue; // the start marker is checked below
                const int code = grid[zorp::CellIndex(column, row)];
                const int shown = stagecheck::ShownCode(image, column, row, CellBackground(column, row));
                // Codes without a picture show the floor.
                QCOMPARE(shown, code <= zorp::Yellow ? code : int(zorp::Empty));
            }
        }
        // The start marker's base runs along the bottom edge of its cell.
        QCOMPARE(image.pixelColor(10 * 12, 10 * 12 + 11), QColor(Qt::black));
        QCOMPARE(image.pixelColor(10 * 12 + 11, 10 * 12 + 11), QColor(Qt::black));
    }

    void exportFailureIsReported()
    {
        scripted_.files.choose(QStringLiteral("/nonexistent-folder/stage.png"));
        scripted_.messages.answer(Answer::Ok);
        QTest::mouseClick(stage_->findChild<QPushButton*>("cmdExportImage"), Qt::LeftButton);
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].title, QStringLiteral("Export Image"));
        QVERIFY(scripted_.messages.asked[0].text.startsWith(
            QStringLiteral("The picture could not be written to\n/nonexistent-folder/stage.png\n(")));
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Critical);
        QCOMPARE(scripted_.messages.asked[0].buttons, Buttons::Ok);
    }
};

QTEST_MAIN(StageCountsImageTest)
#include "StageCountsImageTest.moc"
