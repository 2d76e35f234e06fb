// The palette editor control against real files: palettes are read from and
// written to a ROM file in a temporary folder, questions and messages come
// from scripted stand-ins.
#include <QAccessible>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "palette/PalEdit.h"
#include "palette/PaletteFile.h"
#include "palette/PalettePng.h"
#include "palette/PaletteSwatch.h"
#include "palette/frmPaletteImport.h"
#include "platform/testing/ScriptedPlatform.h"

using namespace zorp::ui;

namespace {

QByteArray Words(std::initializer_list<uint16_t> words)
{
    QByteArray out;
    for (uint16_t w : words) {
        out.append(char(w >> 8));
        out.append(char(w & 0xFF));
    }
    return out;
}

// Genesis word of three even nibbles 0..14.
uint16_t Genesis(int r, int g, int b) { return static_cast<uint16_t>((b << 8) | (g << 4) | r); }

// A made-up 48-colour Genesis palette for the picture: it begins with the
// words the real Sonic palette starts with (0000 0000 0822 0A44) and goes on
// with ramps of reds, greens and blues, one palette line each.
QByteArray ScreenshotPalette()
{
    QByteArray out = Words({0x0000, 0x0000, 0x0822, 0x0A44});
    for (int i = 4; i < 48; ++i) {
        const int p = i % 16;
        const int ramp = std::min(14, 2 * ((p % 8) + 1));
        uint16_t word = 0;
        if (i < 16)
            word = Genesis(std::min(14, 2 + p), std::max(0, p - 6) * 2 > 14 ? 14 : std::max(0, p - 6) * 2, 0);
        else if (i < 32)
            word = Genesis(p >= 8 ? 4 : 0, ramp, p >= 8 ? 6 : 0);
        else
            word = Genesis(p >= 8 ? 8 : 0, p >= 8 ? 4 : 2, ramp);
        out += Words({word});
    }
    return out;
}

} // namespace

class PalEditTest : public QObject {
    Q_OBJECT

private:
    ScriptedPlatform scripted_;
    std::unique_ptr<PalEdit> editor_;
    QTemporaryDir dir_;
    QString rom_;
    QStringList menuItems_;
    QString menuChoice_; // object name of the item to choose; empty closes

    QListWidget* list() const { return editor_->findChild<QListWidget*>("lstPalettes"); }
    QScrollBar* scroll() const { return editor_->findChild<QScrollBar*>("vscPalette"); }
    QSlider* slider(int channel) const { return editor_->findChild<QSlider*>(QString("hscColor_%1").arg(channel)); }
    QLabel* label(int channel) const { return editor_->findChild<QLabel*>(QString("lblColor_%1").arg(channel)); }
    PaletteSwatch* swatch(int i) const { return editor_->findChild<PaletteSwatch*>(QString("optPal_%1").arg(i)); }
    QList<int> sliders() const { return {slider(0)->value(), slider(1)->value(), slider(2)->value()}; }
    QStringList labels() const { return {label(0)->text(), label(1)->text(), label(2)->text()}; }
    QSpinBox* spin(int channel) const { return editor_->findChild<QSpinBox*>(QString("spnColor_%1").arg(channel)); }
    QPushButton* button(const char* name) const { return editor_->findChild<QPushButton*>(name); }
    QColor colorOf(int i) const { return swatch(i)->color(); }
    // A 48-colour palette of distinct grid colours at 0, shown.
    void showZone()
    {
        QByteArray words;
        for (int i = 0; i < 48; ++i)
            words += Words({Genesis((i % 8) * 2, ((i / 8) % 8) * 2, ((i * 3) % 8) * 2)});
        makeRom({{0, words}});
        setUp({"Zone"}, {0}, {48});
    }
    QList<QColor> colors(int from, int count) const
    {
        QList<QColor> out;
        for (int i = from; i < from + count; ++i)
            out << colorOf(i);
        return out;
    }
    QString writeText(const QString& name, const QByteArray& text)
    {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        file.write(text);
        return file.fileName();
    }

    // A ROM file of 256 bytes of 0x11 with the given bytes put at offsets.
    void makeRom(const QList<QPair<int, QByteArray>>& parts, int size = 256)
    {
        QByteArray data(size, char(0x11));
        for (const auto& part : parts)
            data.replace(part.first, part.second.size(), part.second);
        QFile file(rom_);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(data), qint64(data.size()));
    }
    QByteArray romBytes(int offset, int count) const
    {
        QFile file(rom_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll().mid(offset, count);
    }
    // The workspace's order: swatches, table, format, then the file.
    void setUp(const QStringList& names, const QList<qint64>& addresses, const QList<int>& counts, int type = 0)
    {
        editor_->LoadColors(*std::max_element(counts.begin(), counts.end()));
        editor_->PaletteList(names, addresses, counts);
        editor_->setPaletteType(type);
        editor_->setFilename(rom_);
        editor_->RestorePalette();
    }
    void clickSwatch(int i) { QTest::mouseClick(swatch(i), Qt::LeftButton); }
    void rightRelease(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::RightButton)
    {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(at), widget->mapToGlobal(QPointF(at)), button,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }

private slots:
    void init()
    {
        scripted_ = {};
        rom_ = dir_.filePath("rom.bin");
        QFile::remove(rom_);
        editor_ = std::make_unique<PalEdit>(scripted_.platform());
        editor_->setMenuRunner([this](QMenu* menu, QPoint) -> QAction* {
            menuItems_.clear();
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator() || !a->isVisible())
                    continue;
                menuItems_ << a->text();
                if (a->objectName() == menuChoice_)
                    chosen = a;
            }
            return chosen;
        });
        editor_->show();
    }

    void cleanup()
    {
        QCOMPARE(scripted_.messages.unexpected, 0);
        editor_.reset();
    }

    void genesisWordsShowAndWriteBack()
    {
        makeRom({{0x40, Words({0x0EEE, 0x0ACE, 0x0333, 0x0E00})}});
        setUp({"Test"}, {0x40}, {4});
        QCOMPARE(swatch(0)->color(), QColor(224, 224, 224));
        QCOMPARE(swatch(1)->color(), QColor(224, 192, 160)); // R, G, B
        QCOMPARE(swatch(2)->color(), QColor(48, 48, 48));
        QCOMPARE(swatch(3)->color(), QColor(0, 0, 224));
        QCOMPARE(editor_->SelectedSwatch(), 0);
        QCOMPARE(sliders(), QList<int>({7, 7, 7}));
        QCOMPARE(labels(), QStringList({"7", "7", "7"}));
        QVERIFY(!editor_->PaletteModified());

        // Selecting the other swatches is no edit and changes no colour.
        clickSwatch(1);
        QCOMPARE(sliders(), QList<int>({7, 6, 5}));
        clickSwatch(2);
        QCOMPARE(sliders(), QList<int>({1, 1, 1}));
        QCOMPARE(swatch(2)->color(), QColor(48, 48, 48));
        QVERIFY(!editor_->PaletteModified());
        QVERIFY(editor_->SavePalette());
        QCOMPARE(romBytes(0x40, 8), Words({0x0EEE, 0x0ACE, 0x0333, 0x0E00}));

        // Once its colour is computed from the sliders, 0x0333 becomes 0x0222.
        slider(0)->setValue(2);
        slider(0)->setValue(1);
        QCOMPARE(swatch(2)->color(), QColor(32, 32, 32));
        QVERIFY(editor_->PaletteModified());
        QVERIFY(editor_->SavePalette());
        QVERIFY(!editor_->PaletteModified());
        QCOMPARE(romBytes(0x40, 8), Words({0x0EEE, 0x0ACE, 0x0222, 0x0E00}));
        QCOMPARE(romBytes(0x3E, 2), QByteArray(2, char(0x11))); // nothing around it touched
        QCOMPARE(romBytes(0x48, 2), QByteArray(2, char(0x11)));
    }

    void fifteenBitFormats_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("RGB_15") << 1 << QColor(248, 0, 248) << QList<int>{31, 0, 31};
        QTest::newRow("RGB_15_SWAP") << 2 << QColor(224, 216, 56) << QList<int>{28, 27, 7};
    }

    void fifteenBitFormats()
    {
        QFETCH(int, type);
        QFETCH(QColor, color);
        QFETCH(QList<int>, positions);
        makeRom({{0x10, QByteArray("\x7C\x1F", 2)}});
        setUp({"Fifteen"}, {0x10}, {1}, type);
        QCOMPARE(swatch(0)->color(), color);
        QCOMPARE(sliders(), positions);
        QCOMPARE(slider(0)->maximum(), 31);
        // Nudging a slider and back writes the same word again.
        slider(1)->setValue(positions[1] + 1);
        slider(1)->setValue(positions[1]);
        QVERIFY(editor_->SavePalette());
        QCOMPARE(romBytes(0x10, 2), QByteArray("\x7C\x1F", 2));
    }

    void scrollBarRuleAndSwatchGrid()
    {
        makeRom({}, 1024);
        setUp({"Sixty-four", "Sixty-five", "Twenty"}, {0, 200, 400}, {64, 65, 20});
        QCOMPARE(editor_->findChild<QWidget*>("picPalette")->height(), 16 * 5 + 1);
        QVERIFY(!scroll()->isEnabled());

        list()->setCurrentRow(1);
        QVERIFY(scroll()->isEnabled());
        QCOMPARE(scroll()->maximum(), 17);
        QCOMPARE(scroll()->value(), 0);
        scroll()->setValue(10);
        QCOMPARE(editor_->findChild<QWidget*>("picPalette")->y(), -10);

        list()->setCurrentRow(2);
        QVERIFY(!scroll()->isEnabled());
        QCOMPARE(editor_->findChild<QWidget*>("picPalette")->y(), 0);
        QCOMPARE(editor_->ShownCount(), 20);
        for (int i = 0; i < 65; ++i)
            QVERIFY2(swatch(i)->isVisible() == (i < 20), qPrintable(QString::number(i)));
        // 16 per row, 16 pixels high, (275 - 17) / 16 = 16 pixels wide.
        QCOMPARE(editor_->size(), QSize(275, 197));
        QCOMPARE(swatch(17)->geometry(), QRect(16, 16, 16, 16));
        QCOMPARE(swatch(15)->geometry(), QRect(240, 0, 16, 16));
        editor_->resize(337, 197);
        QCOMPARE(swatch(17)->geometry(), QRect(20, 16, 20, 16));
    }

    void selectionAcrossPalettes()
    {
        makeRom({}, 1024);
        setUp({"A", "B", "C"}, {0, 100, 200}, {32, 16, 32});
        clickSwatch(25);
        list()->setCurrentRow(1);
        QCOMPARE(editor_->SelectedSwatch(), 0);
        clickSwatch(10);
        list()->setCurrentRow(0);
        QCOMPARE(editor_->SelectedSwatch(), 10);
        clickSwatch(25);
        list()->setCurrentRow(2);
        QCOMPARE(editor_->SelectedSwatch(), 25);
    }

    void saveQuestionWhenChangingRows()
    {
        makeRom({{0, Words({0x0000, 0x0002})}, {100, Words({0x0EEE, 0x0EEE})}});
        setUp({"A", "B"}, {0, 100}, {2, 2});
        slider(2)->setValue(7); // swatch 0 of A becomes blue 224
        QVERIFY(editor_->PaletteModified());

        scripted_.messages.answer(Answer::Cancel);
        list()->setCurrentRow(1);
        QCOMPARE(scripted_.messages.asked.size(), 1);
        const MessageRequest& question = scripted_.messages.asked[0];
        QCOMPARE(question.title, QString("Save Palette"));
        QCOMPARE(question.text, QString("The current palette has not been saved.\nDo you want to save it?"));
        QCOMPARE(question.icon, Icon::Information);
        QCOMPARE(question.buttons, Buttons::YesNoCancel);
        QCOMPARE(list()->currentRow(), 0); // the old row stays selected and shown
        QCOMPARE(swatch(0)->color(), QColor(0, 0, 224));
        QVERIFY(editor_->PaletteModified());

        // Asked again; No discards the edit.
        scripted_.messages.answer(Answer::No);
        list()->setCurrentRow(1);
        QCOMPARE(scripted_.messages.asked.size(), 2);
        QCOMPARE(list()->currentRow(), 1);
        QCOMPARE(swatch(0)->color(), QColor(224, 224, 224));
        QVERIFY(!editor_->PaletteModified());
        QCOMPARE(romBytes(0, 4), Words({0x0000, 0x0002}));

        // Yes writes the palette being edited (B) before showing A.
        slider(0)->setValue(0);
        scripted_.messages.answer(Answer::Yes);
        list()->setCurrentRow(0);
        QCOMPARE(scripted_.messages.asked.size(), 3);
        QCOMPARE(romBytes(100, 4), Words({0x0EE0, 0x0EEE}));
        QCOMPARE(romBytes(0, 4), Words({0x0000, 0x0002}));
        QCOMPARE(list()->currentRow(), 0);
        QVERIFY(!editor_->PaletteModified());

        // Clicking the row already shown does nothing, even with edits.
        slider(0)->setValue(3);
        list()->setCurrentRow(0);
        QCOMPARE(scripted_.messages.asked.size(), 3);
        QVERIFY(editor_->PaletteModified());
    }

    void channelSwitchMenu()
    {
        makeRom({{0, Words({0x0024})}}); // R 4 -> slider 2, G 2 -> 1, B 0
        setUp({"One"}, {0}, {1});
        QCOMPARE(sliders(), QList<int>({2, 1, 0}));

        menuChoice_.clear();
        rightRelease(label(0), QPoint(5, 5));
        QCOMPARE(menuItems_, QStringList({"Switch Red with:", "&Green", "&Blue"}));
        QCOMPARE(sliders(), QList<int>({2, 1, 0}));
        QVERIFY(!editor_->PaletteModified());

        menuChoice_ = "mnuSwitchColor_2";
        rightRelease(label(0), QPoint(5, 5));
        QCOMPARE(sliders(), QList<int>({0, 1, 2}));
        QCOMPARE(labels(), QStringList({"0", "1", "2"}));
        QCOMPARE(swatch(0)->color(), QColor(0, 32, 64));
        QVERIFY(editor_->PaletteModified());
        QCOMPARE(editor_->undoStack()->count(), 1);

        menuChoice_ = "mnuSwitchColor_0";
        rightRelease(label(1), QPoint(5, 5));
        QCOMPARE(menuItems_, QStringList({"Switch Green with:", "&Red", "&Blue"}));
        QCOMPARE(sliders(), QList<int>({1, 0, 2}));

        // The title line cannot be chosen.
        menuChoice_ = "mnuSwitchDesc";
        scripted_.messages.answer(Answer::Ok);
        rightRelease(label(2), QPoint(5, 5));
        QCOMPARE(menuItems_, QStringList({"Switch Blue with:", "&Red", "&Green"}));
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].title, QString("Unclickable Item"));
        QCOMPARE(scripted_.messages.asked[0].text, QString("You're not supposed to click this item!"));
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Critical);
        QCOMPARE(scripted_.messages.asked[0].buttons, Buttons::Ok);
        QCOMPARE(sliders(), QList<int>({1, 0, 2}));

        // Only a right-button release inside the label opens the menu.
        menuItems_.clear();
        rightRelease(label(0), QPoint(5, 5), Qt::LeftButton);
        rightRelease(label(0), QPoint(200, 5));
        QVERIFY(menuItems_.isEmpty());

        // Undo takes the switches back one by one.
        editor_->undoStack()->undo();
        QCOMPARE(sliders(), QList<int>({0, 1, 2}));
        editor_->undoStack()->undo();
        QCOMPARE(sliders(), QList<int>({2, 1, 0}));
        QCOMPARE(swatch(0)->color(), QColor(64, 32, 0));
        QVERIFY(!editor_->PaletteModified());
    }

    void formatChangeRescalesSliders()
    {
        makeRom({{0, Words({0x04EE})}}); // R 224, G 224, B 64 -> 7, 7, 2
        setUp({"One"}, {0}, {1});
        slider(1)->setValue(3);
        QCOMPARE(sliders(), QList<int>({7, 3, 2}));
        editor_->setPaletteType(1);
        QCOMPARE(slider(0)->maximum(), 31);
        QCOMPARE(sliders(), QList<int>({28, 12, 8}));
        QCOMPARE(labels(), QStringList({"28", "12", "8"}));
        slider(0)->setValue(31);
        editor_->setPaletteType(2); // same slider range: left alone
        QCOMPARE(sliders(), QList<int>({31, 12, 8}));
        editor_->setPaletteType(0);
        QCOMPARE(slider(0)->maximum(), 7);
        QCOMPARE(sliders(), QList<int>({7, 3, 2}));
        QCOMPARE(editor_->PaletteType(), 0);
        QVERIFY(editor_->PaletteModified());
    }

    void sameSliderValueIsNoEdit()
    {
        makeRom({{0, Words({0x0EEE})}});
        setUp({"One"}, {0}, {1});
        slider(0)->setValue(7);
        QVERIFY(!editor_->PaletteModified());
        QCOMPARE(editor_->undoStack()->count(), 0);
    }

    void undoToCleanAndMerging()
    {
        makeRom({{0, Words({0x0333, 0x0000})}});
        setUp({"One"}, {0}, {2});
        QSignalSpy modified(editor_.get(), &PalEdit::PaletteModifiedChanged);
        slider(0)->setValue(3);
        slider(0)->setValue(5);
        slider(2)->setValue(6);
        QCOMPARE(editor_->undoStack()->count(), 1); // one swatch: one command
        clickSwatch(1);
        slider(1)->setValue(4);
        QCOMPARE(editor_->undoStack()->count(), 2);
        QVERIFY(editor_->PaletteModified());

        editor_->undoStack()->undo();
        QCOMPARE(swatch(1)->color(), QColor(0, 0, 0));
        editor_->undoStack()->undo();
        // Back to the exact colour read from the file, not the slider's rounding.
        QCOMPARE(swatch(0)->color(), QColor(48, 48, 48));
        QCOMPARE(editor_->SelectedSwatch(), 0);
        QCOMPARE(sliders(), QList<int>({1, 1, 1}));
        QVERIFY(!editor_->PaletteModified());
        QCOMPARE(modified.count(), 2);

        // A save moves the clean point.
        editor_->undoStack()->redo();
        QVERIFY(editor_->SavePalette());
        QVERIFY(!editor_->PaletteModified());
        editor_->undoStack()->undo();
        QVERIFY(editor_->PaletteModified());
        // Moving back to the starting colour leaves no command behind.
        editor_->undoStack()->redo();
        const int index = editor_->undoStack()->index();
        slider(0)->setValue(6);
        slider(0)->setValue(5);
        QCOMPARE(editor_->undoStack()->index(), index);
        QVERIFY(!editor_->PaletteModified());
    }

    void newTableIsNoEditAndSavesNothing()
    {
        makeRom({{0, Words({0x0EEE})}, {0x80, Words({0x0000})}});
        setUp({"Old"}, {0}, {1});
        slider(0)->setValue(2);
        QVERIFY(editor_->PaletteModified());
        const QByteArray before = romBytes(0, 256);

        editor_->PaletteList({"New"}, {0x80}, {1});
        QVERIFY(!editor_->PaletteModified());
        QCOMPARE(sliders(), QList<int>({0, 0, 0}));
        QVERIFY(scripted_.messages.asked.isEmpty());
        QCOMPARE(romBytes(0, 256), before);
        QCOMPARE(editor_->undoStack()->count(), 0);
        // The new table's row 0 is shown once the file is read.
        editor_->RestorePalette();
        QCOMPARE(swatch(0)->color(), QColor(0, 0, 0));
        // Without a file nothing is read, and the new table still clears the flag.
        editor_->setFilename(QString());
        slider(1)->setValue(5);
        QVERIFY(editor_->PaletteModified());
        editor_->PaletteList({"Newer"}, {0}, {1});
        QVERIFY(!editor_->PaletteModified());
        QVERIFY(scripted_.messages.asked.isEmpty());
        editor_->setFilename(rom_);
        // There is no row 1: nothing can be saved for it.
        editor_->PaletteList({}, {}, {});
        QVERIFY(!editor_->SavePalette(true));
        QCOMPARE(romBytes(0, 256), before);
    }

    void readFailureIsReported()
    {
        editor_->LoadColors(4);
        editor_->PaletteList({"Missing"}, {0}, {4});
        editor_->setFilename(dir_.filePath("absent.bin"));
        scripted_.messages.answer(Answer::Ok);
        QVERIFY(!editor_->RestorePalette());
        QCOMPARE(scripted_.messages.asked.size(), 1);
        const MessageRequest& message = scripted_.messages.asked[0];
        QCOMPARE(message.icon, Icon::Critical);
        QVERIFY(message.text.contains(dir_.filePath("absent.bin")));
        QVERIFY(message.text.contains("does not exist"));
        QVERIFY(message.text.contains("Missing"));
        QCOMPARE(editor_->ShownCount(), 0);
        QVERIFY(!swatch(0)->isVisible());
        QVERIFY(!editor_->PaletteModified());
        // Nothing shown, nothing to write.
        QVERIFY(editor_->SavePalette());
        QVERIFY(!QFile::exists(dir_.filePath("absent.bin")));
    }

    void writeFailureKeepsTheEdit()
    {
        // A palette running past the end of the file reads as black where the
        // file ends, but cannot be written there: the file stays as it was.
        makeRom({{8, Words({0x0E00})}}, 10);
        setUp({"Edge"}, {8}, {3});
        QCOMPARE(swatch(1)->color(), QColor(0, 0, 0));
        slider(0)->setValue(4);
        scripted_.messages.answer(Answer::Ok);
        QVERIFY(!editor_->SavePalette());
        QCOMPARE(scripted_.messages.asked.size(), 1);
        QCOMPARE(scripted_.messages.asked[0].title, QString("Palette Not Saved"));
        QCOMPARE(scripted_.messages.asked[0].icon, Icon::Critical);
        QVERIFY(scripted_.messages.asked[0].text.contains(rom_));
        QVERIFY(scripted_.messages.asked[0].text.contains("past the end"));
        QVERIFY(editor_->PaletteModified());
        QCOMPARE(QFileInfo(rom_).size(), qint64(10));
        QCOMPARE(romBytes(8, 2), Words({0x0E00}));

        // The file vanished: the save question's Yes fails and the edited
        // palette stays on screen.
        makeRom({{0, Words({0x0E00})}, {100, Words({0x00E0})}});
        setUp({"A", "B"}, {0, 100}, {1, 1});
        slider(2)->setValue(5);
        QVERIFY(QFile::remove(rom_));
        scripted_.messages.answer(Answer::Yes);
        scripted_.messages.answer(Answer::Ok);
        list()->setCurrentRow(1);
        QCOMPARE(scripted_.messages.asked.size(), 3);
        QCOMPARE(scripted_.messages.asked[2].title, QString("Palette Not Saved"));
        QVERIFY(scripted_.messages.asked[2].text.contains("does not exist"));
        QCOMPARE(list()->currentRow(), 0);
        QCOMPARE(swatch(0)->color(), QColor(0, 0, 160));
        QVERIFY(editor_->PaletteModified());
    }

    void maybeSaveAnswers()
    {
        makeRom({{0, Words({0x0EEE})}});
        setUp({"One"}, {0}, {1});
        QVERIFY(editor_->MaybeSave()); // nothing to ask
        QVERIFY(scripted_.messages.asked.isEmpty());
        slider(0)->setValue(0);
        scripted_.messages.answer(Answer::Cancel);
        QVERIFY(!editor_->MaybeSave());
        scripted_.messages.answer(Answer::No);
        QVERIFY(editor_->MaybeSave());
        QCOMPARE(romBytes(0, 2), Words({0x0EEE}));
        scripted_.messages.answer(Answer::Yes);
        QVERIFY(editor_->MaybeSave());
        QCOMPARE(romBytes(0, 2), Words({0x0EE0}));
        QVERIFY(!editor_->PaletteModified());
    }

    void swatchCountIsBounded()
    {
        // Counts come from templates: the grid never grows past the cap.
        QElapsedTimer timer;
        timer.start();
        editor_->LoadColors(1'000'000);
        QCOMPARE(editor_->findChildren<PaletteSwatch*>().size(), qsizetype(4096));
        editor_->LoadColors(-5);
        QCOMPARE(editor_->findChildren<PaletteSwatch*>().size(), qsizetype(0));
        qInfo("LoadColors(4096) and back to 0: %lld ms", static_cast<long long>(timer.elapsed()));
        // A table entry larger than the grid shows what fits and writes only that.
        makeRom({{0, Words({0x0E00, 0x00E0})}}, 8);
        editor_->LoadColors(2);
        editor_->PaletteList({"Big"}, {0}, {4});
        editor_->setFilename(rom_);
        QVERIFY(editor_->RestorePalette());
        QCOMPARE(editor_->ShownCount(), 2);
        slider(0)->setValue(7);
        QVERIFY(editor_->SavePalette());
        QCOMPARE(romBytes(0, 8), Words({0x0E0E, 0x00E0}) + QByteArray(4, char(0x11)));
    }

    void minimumSize()
    {
        editor_->resize(100, 100);
        QCOMPARE(editor_->size(), QSize(275, 197));
        QCOMPARE(editor_->minimumSize(), QSize(275, 197));
    }

    void everyControlHasAnAccessibleName()
    {
        makeRom({{0, Words({0x0EEE})}});
        setUp({"One"}, {0}, {3});
        for (QWidget* widget : editor_->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(face);
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        }
    }

    // Import: the dialog's choice (line, count) lands as one undo step, and
    // the dialog says what the snapping changes before anything changes.
    void importPutsTheChosenColoursInOneUndoStep()
    {
        showZone();
        const QList<QColor> before = colors(0, 48);
        const QString file = writeText("in.gpl", "GIMP Palette\n255 255 255\n0 64 0\n10 10 10\n1 2 3\n4 5 6\n");
        clickSwatch(20); // line 1 is preselected
        QString snapping;
        int offeredLine = -2;
        editor_->setImportDialogRunner([&](frmPaletteImport& dialog) {
            offeredLine = dialog.line();
            dialog.setCount(3);
            snapping = dialog.findChild<QLabel*>("lblSnapping")->text();
            return true;
        });
        QSignalSpy modified(editor_.get(), &PalEdit::PaletteModifiedChanged);
        QVERIFY(editor_->ImportPaletteFile(file));
        QCOMPARE(offeredLine, 1);
        QVERIFY2(snapping.startsWith("2 of the 3 colours taken change to fit the Genesis colour grid"),
                 qPrintable(snapping));
        QList<QColor> want = before;
        want[16] = QColor(224, 224, 224);
        want[17] = QColor(0, 64, 0);
        want[18] = QColor(0, 0, 0);
        QCOMPARE(colors(0, 48), want);
        QVERIFY(editor_->PaletteModified());
        QCOMPARE(modified.count(), 1);
        QCOMPARE(editor_->undoStack()->count(), 1);
        QCOMPARE(editor_->undoStack()->undoText(), QString("Import Palette"));
        editor_->undoStack()->undo();
        QCOMPARE(colors(0, 48), before);
        QVERIFY(!editor_->PaletteModified());
        editor_->undoStack()->redo();
        QCOMPARE(colors(0, 48), want);
        // Saved, the words are in the file.
        QVERIFY(editor_->SavePalette());
        QCOMPARE(romBytes(32, 6), Words({0x0EEE, 0x0040, 0x0000}));

        // Cancel changes nothing.
        editor_->setImportDialogRunner([](frmPaletteImport&) { return false; });
        QVERIFY(!editor_->ImportPaletteFile(file));
        QCOMPARE(editor_->undoStack()->count(), 1);
    }

    void importDialogOffersEveryLineAndBoundsTheCount()
    {
        std::vector<zorp::ScreenColor> palette(40, zorp::ScreenColor{32, 32, 32});
        std::vector<zorp::ScreenColor> file(20, zorp::ScreenColor{255, 0, 0});
        frmPaletteImport dialog("f.pal (JASC-PAL)", file, palette, zorp::PaletteFormat::Genesis, -1);
        auto* target = dialog.findChild<QComboBox*>("cboTarget");
        auto* count = dialog.findChild<QSpinBox*>("spnCount");
        QCOMPARE(target->count(), 4); // whole, lines 0 to 2
        QCOMPARE(target->itemText(3), QString("Line 2 (colours 32 to 39)"));
        QCOMPARE(count->maximum(), 20);
        dialog.setLine(2);
        QCOMPARE(count->maximum(), 8); // the short last line
        QCOMPARE(count->value(), 8);
        QCOMPARE(dialog.result().start, 32);
        QCOMPARE(dialog.result().snapped, 8);
        QVERIFY(dialog.findChild<QLabel*>("lblSnapping")->text().startsWith("8 of the 8 colours"));
        dialog.setCount(5);
        QCOMPARE(dialog.result().placed, 5);
        for (QWidget* widget : dialog.findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
                continue;
            QVERIFY2(!QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
        }
    }

    void badPaletteFilesChangeNothing()
    {
        showZone();
        const QList<QColor> before = colors(0, 48);
        QImage grey(5, 3, QImage::Format_RGB32); // no palette, no strip
        grey.fill(Qt::gray);
        grey.setPixel(0, 0, qRgb(1, 2, 3));
        QVERIFY(grey.save(dir_.filePath("photo.png")));
        const QStringList files = {writeText("empty.pal", ""), writeText("bad.gpl", "GIMP Palette\n1 2\n"),
                                   dir_.filePath("photo.png"), writeText("cut.png", "\x89PNG\r\n\x1a\n"),
                                   dir_.filePath("none.bin")};
        const QStringList reasons = {"The file is empty", "Line 2 is not a colour", "has no palette",
                                     "cut off or damaged", "does not exist"};
        bool asked = false;
        editor_->setImportDialogRunner([&](frmPaletteImport&) { return asked = true; });
        for (int i = 0; i < files.size(); ++i) {
            scripted_.messages.answer(Answer::Ok);
            QVERIFY(!editor_->ImportPaletteFile(files[i]));
            const MessageRequest& box = scripted_.messages.asked.back();
            QCOMPARE(box.title, QString("Palette Not Imported"));
            QCOMPARE(box.icon, Icon::Critical);
            QVERIFY2(box.text.contains(reasons[i]), qPrintable(box.text));
            QVERIFY(box.text.endsWith("The palette was not changed."));
        }
        QVERIFY(!asked);
        QCOMPARE(colors(0, 48), before);
        QCOMPARE(editor_->undoStack()->count(), 0);
        QVERIFY(!editor_->PaletteModified());
    }

    // Every format reads back what the editor writes, through the file dialogs.
    void exportAndImportRoundTripInEveryFormat()
    {
        showZone();
        const QList<QColor> zone = colors(0, 48);
        const QStringList names = {"zone.bin", "zone.pal", "zone.gpl", "zone.png"};
        editor_->setImportDialogRunner([](frmPaletteImport& dialog) {
            dialog.setLine(-1);
            return true;
        });
        for (int i = 0; i < names.size(); ++i) {
            // No extension typed: the chosen filter's is added.
            scripted_.files.choose(dir_.filePath("zone"), i + 1);
            QFile::remove(dir_.filePath(names[i]));
            QVERIFY(editor_->ExportPalette());
            QCOMPARE(scripted_.files.asked.back().mode, FileDialogRequest::Mode::Save);
            QVERIFY(scripted_.files.asked.back().confirmOverwrite);
            QVERIFY2(QFile::exists(dir_.filePath(names[i])), qPrintable(names[i]));
            editor_->undoStack()->clear();
            for (int c = 0; c < 48; ++c)
                editor_->findChild<PaletteSwatch*>(QString("optPal_%1").arg(c))->setColor(Qt::black);
            scripted_.files.choose(dir_.filePath(names[i]));
            QVERIFY(editor_->ImportPalette());
            QCOMPARE(colors(0, 48), zone);
        }
        const std::optional<zorp::Bytes> words = zorp::ReadFileBytes(ToBytes(dir_.filePath("zone.bin")));
        QVERIFY(words);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(words->data()), 96), romBytes(0, 96));
    }

    void pngPalettesAndSwatchStrips()
    {
        const std::vector<zorp::ScreenColor> colors = {{224, 0, 0}, {0, 96, 224}, {32, 32, 32}};
        const std::vector<uint8_t> png = WritePalettePng(colors);
        QImage strip;
        QVERIFY(strip.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"));
        QCOMPARE(strip.format(), QImage::Format_Indexed8);
        QCOMPARE(strip.size(), QSize(48, 16));
        QCOMPARE(ReadPalettePng(png).colors, colors);
        // A true-colour strip from another tool, across and down.
        for (const QSize size : {QSize(30, 10), QSize(10, 30)}) {
            QImage image(size, QImage::Format_RGB32);
            for (int k = 0; k < 3; ++k) {
                const QRect square = size.width() > size.height() ? QRect(10 * k, 0, 10, 10) : QRect(0, 10 * k, 10, 10);
                for (int y = square.top(); y <= square.bottom(); ++y)
                    for (int x = square.left(); x <= square.right(); ++x)
                        image.setPixel(x, y, qRgb(colors[k].r, colors[k].g, colors[k].b));
            }
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(image.save(&buffer, "PNG"));
            const zorp::PaletteFileRead read = ReadPalettePng({bytes.begin(), bytes.end()});
            QVERIFY2(read.ok(), read.error.c_str());
            QCOMPARE(read.colors, colors);
        }
        // A damaged palette chunk is refused, not read.
        std::vector<uint8_t> damaged = png;
        const auto plte = std::search(damaged.begin(), damaged.end(), "PLTE", "PLTE" + 4);
        QVERIFY(plte != damaged.end());
        plte[5] ^= 0xFF;
        QVERIFY(ReadPalettePng(damaged).error.find("PLTE chunk of the PNG image is damaged") != std::string::npos);
        // Past 256 colours the strip is true colour and still reads back.
        const std::vector<zorp::ScreenColor> many(300, zorp::ScreenColor{8, 16, 24});
        QCOMPARE(ReadPalettePng(WritePalettePng(many)).colors, many);
    }

    void copyAndPasteALine()
    {
        showZone();
        const QList<QColor> before = colors(0, 48);
        clickSwatch(5);
        editor_->CopyLine();
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("JASC-PAL\r\n0100\r\n16\r\n"));
        clickSwatch(40);
        QVERIFY(editor_->PasteLine());
        QList<QColor> want = before;
        for (int i = 0; i < 16; ++i)
            want[32 + i] = before[i];
        QCOMPARE(colors(0, 48), want);
        QCOMPARE(editor_->undoStack()->undoText(), QString("Paste Line"));
        editor_->undoStack()->undo();
        QCOMPARE(colors(0, 48), before);

        QGuiApplication::clipboard()->setText("not a palette");
        scripted_.messages.answer(Answer::Ok);
        QVERIFY(!editor_->PasteLine());
        QCOMPARE(scripted_.messages.asked.back().title, QString("Cannot Paste Line"));
        QCOMPARE(colors(0, 48), before);
    }

    // Keyboard: arrows move between swatches (Up and Down by a row), the
    // selected swatch is the grid's one tab stop, and levels can be typed.
    void arrowKeysAndTypedLevels()
    {
        showZone();
        editor_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
        clickSwatch(17);
        swatch(17)->setFocus();
        QCOMPARE(swatch(17)->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(swatch(16)->focusPolicy(), Qt::ClickFocus);
        const QList<QPair<Qt::Key, int>> moves = {{Qt::Key_Right, 18}, {Qt::Key_Down, 34}, {Qt::Key_Down, 34},
                                                  {Qt::Key_Left, 33},  {Qt::Key_Up, 17},   {Qt::Key_Home, 0},
                                                  {Qt::Key_Left, 0},   {Qt::Key_End, 47}};
        int at = 17;
        for (const auto& [key, expected] : moves) {
            QTest::keyClick(swatch(at), key);
            at = expected;
            QCOMPARE(editor_->SelectedSwatch(), expected);
            QCOMPARE(QApplication::focusWidget(), swatch(expected));
            QCOMPARE(sliders(), QList<int>({colorOf(expected).red() / 32, colorOf(expected).green() / 32,
                                            colorOf(expected).blue() / 32}));
        }
        QVERIFY(!editor_->PaletteModified()); // moving is no edit
        spin(1)->setFocus();
        spin(1)->selectAll();
        QCOMPARE(colorOf(47).green(), 160);
        QTest::keyClicks(spin(1), "2");
        QCOMPARE(slider(1)->value(), 2);
        QCOMPARE(label(1)->text(), QString("2"));
        QCOMPARE(colorOf(47).green(), 64);
        QVERIFY(editor_->PaletteModified());
        QCOMPARE(spin(1)->maximum(), 7);
        editor_->setPaletteType(1);
        QCOMPARE(spin(1)->maximum(), 31);
        QCOMPARE(spin(1)->value(), slider(1)->value());
    }

    // What a screen reader's "press" or "toggle" does is what a click does.
    void accessibleActionsDoWhatAClickDoes()
    {
        showZone();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(swatch(9));
        QVERIFY(face && face->actionInterface());
        QCOMPARE(face->role(), QAccessible::RadioButton);
        QVERIFY(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(editor_->SelectedSwatch(), 9);
        face = QAccessible::queryAccessibleInterface(swatch(12));
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(editor_->SelectedSwatch(), 12);

        bool dialogRan = false;
        editor_->setImportDialogRunner([&](frmPaletteImport&) {
            dialogRan = true;
            return false;
        });
        scripted_.files.cancel();
        scripted_.files.cancel();
        for (const char* name : {"cmdImport", "cmdExport"}) {
            const int asked = scripted_.files.asked.size();
            QAccessibleInterface* press = QAccessible::queryAccessibleInterface(button(name));
            QCOMPARE(press->role(), QAccessible::Button);
            press->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(scripted_.files.asked.size(), asked + 1);
        }
        QVERIFY(!dialogRan);
        QAccessible::queryAccessibleInterface(button("cmdCopyLine"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(QGuiApplication::clipboard()->text().startsWith("JASC-PAL"));
        clickSwatch(47);
        QAccessible::queryAccessibleInterface(button("cmdPasteLine"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(editor_->undoStack()->undoText(), QString("Paste Line"));

        QAccessibleInterface* level = QAccessible::queryAccessibleInterface(spin(2));
        QCOMPARE(level->role(), QAccessible::SpinBox);
        QCOMPARE(level->text(QAccessible::Name), QString("Blue level"));
        QVERIFY(level->valueInterface());
        level->valueInterface()->setCurrentValue(3);
        QCOMPARE(slider(2)->value(), 3);
    }

    // The import dialog as a user meets it: a GIMP palette of 16 colours
    // going into line 1 of a 48-colour zone palette.
    void screenshotOfTheImportDialog()
    {
        const QByteArray zone = ScreenshotPalette();
        std::vector<zorp::ScreenColor> palette;
        for (int i = 0; i < 48; ++i) {
            const int word = (uint8_t(zone[2 * i]) << 8) | uint8_t(zone[2 * i + 1]);
            palette.push_back({uint8_t((word & 0xF) << 4), uint8_t(word & 0xF0), uint8_t((word >> 4) & 0xF0)});
        }
        std::vector<zorp::ScreenColor> file;
        for (int i = 0; i < 16; ++i) // a warm ramp written by an image editor, off the grid
            file.push_back({uint8_t(255 - 6 * i), uint8_t(40 + 13 * i), uint8_t(17 * (i % 4))});
        frmPaletteImport dialog("sunset.gpl (GIMP palette)", file, palette, zorp::PaletteFormat::Genesis, 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.result().start, 16);
        QCOMPARE(dialog.result().placed, 16);
        const QImage shot = dialog.grab().toImage();
        const QByteArray dir = qgetenv("ZORP_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(dir) + "/palette-import.png"));
    }

    void screenshotWithARealPalette()
    {
        const QByteArray palette = ScreenshotPalette();
        QCOMPARE(palette.size(), 96);
        makeRom({{0, palette}, {96, Words({0x0000, 0x0E86, 0x0EEE, 0x0AAA})}}, 512);
        editor_->resize(330, 230);
        setUp({"Zone (lines 1-3)", "Sonic (line 0)", "Underwater"}, {0, 96, 160}, {48, 16, 64});
        clickSwatch(3);
        QCOMPARE(swatch(3)->color(), QColor(64, 64, 160)); // 0x0A44 read from the file
        QCOMPARE(sliders(), QList<int>({2, 2, 5}));
        QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
        const QImage shot = editor_->grab().toImage();
        QCOMPARE(shot.size(), QSize(330, 230));
        QCOMPARE(shot.pixelColor(swatch(2)->geometry().center()), QColor(32, 32, 128)); // 0x0822
        const QByteArray dir = qgetenv("ZORP_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(dir) + "/paledit.png"));
    }
};

QTEST_MAIN(PalEditTest)
#include "PalEditTest.moc"
