// The two dialogs of the special stage editor, pressed button by button.
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "stage/StartDirection.h"
#include "specialstage/frmS3SCSelect.h"
#include "specialstage/frmStartingDirection.h"

using namespace zorp::ui;

namespace {

zorp::S3SCIndex ThreeStages()
{
    zorp::S3SCIndex index;
    index.format = 2;
    index.entries = {{"First", ""}, {"Second", "two"}, {"Caf\xE9", "Stage with an 8-bit \xE9"}};
    return index;
}

} // namespace

class StageDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void directionDialogLayout()
    {
        frmStartingDirection dialog;
        QCOMPARE(dialog.windowTitle(), QString("Starting Direction"));
        auto* ok = dialog.findChild<QPushButton*>("cmdOK");
        QVERIFY(ok);
        QVERIFY(dialog.findChild<QPushButton*>("cmdCancel"));
        QVERIFY(!ok->isEnabled());
        QVERIFY(ok->isDefault());
        QCOMPARE(dialog.SelectedDirection(), 0);
        dialog.show();
        // A cross: up above down, left beside right, all around one centre.
        auto at = [&](int i) {
            return dialog.findChild<QToolButton*>(QString("optStartingDirection_%1").arg(i))->geometry().center();
        };
        QVERIFY(at(0).y() < at(2).y() && at(2).y() < at(1).y());
        QVERIFY(at(2).x() < at(0).x() && at(0).x() < at(3).x());
        QCOMPARE(at(0).x(), at(1).x());
        QCOMPARE(at(2).y(), at(3).y());
    }

    void directionChosen_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("direction");
        QTest::newRow("up") << 0 << int(S3S_Up);
        QTest::newRow("down") << 1 << int(S3S_Down);
        QTest::newRow("left") << 2 << int(S3S_Left);
        QTest::newRow("right") << 3 << int(S3S_Right);
    }

    void directionChosen()
    {
        QFETCH(int, button);
        QFETCH(int, direction);
        frmStartingDirection dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<QToolButton*>(QString("optStartingDirection_%1").arg(button)),
                          Qt::LeftButton);
        QVERIFY(dialog.findChild<QPushButton*>("cmdOK")->isEnabled());
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.SelectedDirection(), direction);
    }

    void directionCancelledOrClosed()
    {
        frmStartingDirection cancelled;
        cancelled.show();
        QTest::mouseClick(cancelled.findChild<QToolButton*>("optStartingDirection_3"), Qt::LeftButton);
        QTest::mouseClick(cancelled.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        QCOMPARE(cancelled.SelectedDirection(), 0);

        frmStartingDirection closed;
        closed.show();
        QTest::mouseClick(closed.findChild<QToolButton*>("optStartingDirection_1"), Qt::LeftButton);
        closed.close();
        QCOMPARE(closed.SelectedDirection(), 0);
    }

    void directionAskIsModalAndFresh()
    {
        // Ask() builds a new dialog each time: nothing chosen, OK disabled.
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, [round] {
                auto* dialog = qobject_cast<frmStartingDirection*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QVERIFY(!dialog->findChild<QPushButton*>("cmdOK")->isEnabled());
                if (round == 0) {
                    QTest::mouseClick(dialog->findChild<QToolButton*>("optStartingDirection_2"), Qt::LeftButton);
                    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
                } else {
                    dialog->reject();
                }
            });
            QCOMPARE(frmStartingDirection::Ask(nullptr), round == 0 ? int(S3S_Left) : 0);
        }
    }

    void stageSelectShowsNamesAndDescriptions()
    {
        frmS3SCSelect dialog(ThreeStages());
        QCOMPARE(dialog.windowTitle(), QString("S3S/C Stage Select"));
        auto* list = dialog.findChild<QListWidget*>("lstStages");
        auto* text = dialog.findChild<QPlainTextEdit*>("txtDescription");
        QVERIFY(list && text);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QString::fromLatin1("Caf\xE9"));
        list->setCurrentRow(1);
        QCOMPARE(text->toPlainText(), QString("two"));
        list->setCurrentRow(0);
        QCOMPARE(text->toPlainText(), QString());
        list->setCurrentRow(2);
        QCOMPARE(text->toPlainText(), QString::fromLatin1("Stage with an 8-bit \xE9"));
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedStage(), 2);
    }

    void stageSelectWaysOut()
    {
        frmS3SCSelect cancelled(ThreeStages());
        cancelled.findChild<QListWidget*>("lstStages")->setCurrentRow(1);
        QTest::mouseClick(cancelled.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        QCOMPARE(cancelled.SelectedStage(), -1);

        frmS3SCSelect nothingSelected(ThreeStages());
        QTest::mouseClick(nothingSelected.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(nothingSelected.SelectedStage(), -1);

        frmS3SCSelect doubleClicked(ThreeStages());
        doubleClicked.show();
        QVERIFY(QTest::qWaitForWindowExposed(&doubleClicked));
        auto* list = doubleClicked.findChild<QListWidget*>("lstStages");
        const QRect row = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QCOMPARE(doubleClicked.result(), int(QDialog::Accepted));
        QCOMPARE(doubleClicked.SelectedStage(), 1);
    }
};

QTEST_MAIN(StageDialogsTest)
#include "StageDialogsTest.moc"
