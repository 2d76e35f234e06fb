// The platform layer: filter translation, byte texts, the busy pointer, the
// WAV reader, the real dialogs driven from a timer, the settings store on a
// temporary file, and the scripted stand-ins the window tests rely on.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "AccessibleTitle.h"
#include "QtPlatform.h"
#include "WavImage.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp::ui;

Q_DECLARE_METATYPE(zorp::ui::Buttons)
Q_DECLARE_METATYPE(zorp::ui::Answer)
Q_DECLARE_METATYPE(zorp::ui::Icon)

namespace {

// Runs check on the modal dialog of type T once it is shown.
template <typename T>
void WhenModal(std::function<void(T*)> check)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [check, poll]() {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            check(w);
        else
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

QByteArray Le32(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Le16(uint16_t v)
{
    return Le32(v).left(2);
}

QByteArray FmtChunk(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits)
{
    QByteArray body = Le16(format) + Le16(channels) + Le32(rate) +
                      Le32(rate * channels * bits / 8) + Le16(uint16_t(channels * bits / 8)) +
                      Le16(bits);
    return "fmt " + Le32(uint32_t(body.size())) + body;
}

QByteArray Riff(const QByteArray& chunks)
{
    return "RIFF" + Le32(uint32_t(chunks.size() + 4)) + "WAVE" + chunks;
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void nameFilters_data();
    void nameFilters();

    void bytesRoundTripEveryByte();
    void bytesOutsideLatin1();

    void busyCursorShowsAndRestores();
    void accessibleNameFollowsTheTitle();

    void wavImage_data();
    void wavImage();

    void messageBox_data();
    void messageBox();

    void fileDialogOpen();
    void fileDialogSave();
    void fileDialogCancel();

    void settingsOnFile();
    void settingsDefaultLocation();
    void settingsGroupsStayApart();

    void commandWords_data();
    void commandWords();
    void launcherFindsAndReports();

    void soundIgnoresUnplayableImages();

    void scriptedMessagesQueueAndRecord();
    void scriptedMessagesUnexpected_data();
    void scriptedMessagesUnexpected();
    void scriptedFilesQueueAndRecord();
    void scriptedSettingsAndSound();

private:
    QTemporaryDir configHome_;
};

void PlatformTest::initTestCase()
{
    // Before the first QSettings: the default store then lands in this folder.
    QVERIFY(configHome_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path()));
}

void PlatformTest::nameFilters_data()
{
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two filters") << "Desc|*.A;*.B|Desc2|*.C"
                                 << QStringList{"Desc (*.A *.B *.a *.b)", "Desc2 (*.C *.c)"};
    QTest::newRow("description with patterns")
        << "Binary ROM Files (*.BIN;*.GEN;*.32X)|*.BIN;*.GEN"
        << QStringList{"Binary ROM Files (*.BIN;*.GEN;*.32X) (*.BIN *.GEN *.bin *.gen)"};
    QTest::newRow("digits have no case") << "Multi-Load (*.1)|*.1"
                                         << QStringList{"Multi-Load (*.1) (*.1)"};
    QTest::newRow("both cases given once") << "R|*.BIN;*.bin" << QStringList{"R (*.BIN *.bin)"};
    QTest::newRow("mixed case") << "R|*.Bin" << QStringList{"R (*.Bin *.bin *.BIN)"};
    QTest::newRow("spaces trimmed") << " R | *.A ; *.B " << QStringList{"R (*.A *.B *.a *.b)"};
    QTest::newRow("everything") << "All Files|*.*" << QStringList{"All Files (*.*)"};
    QTest::newRow("empty pattern list") << "Any|" << QStringList{"Any (*)"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("description without patterns dropped") << "A|*.A|Dangling"
                                                          << QStringList{"A (*.A *.a)"};
}

void PlatformTest::nameFilters()
{
    QFETCH(QString, pipe);
    QFETCH(QStringList, expected);
    QCOMPARE(QtNameFilters(pipe), expected);
}

void PlatformTest::bytesRoundTripEveryByte()
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(char(i));
    const QString text = FromBytes(all);
    QCOMPARE(text.size(), 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(text[i].unicode(), ushort(i));
    QCOMPARE(ToBytes(text), all);
}

void PlatformTest::bytesOutsideLatin1()
{
    QCOMPARE(ToBytes(QString(QChar(0x263A)) + "A"), std::string("?A"));
    QCOMPARE(FromBytes(std::string("\xA9 SEGA", 6)), QString(QChar(0xA9)) + " SEGA");
}

void PlatformTest::busyCursorShowsAndRestores()
{
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        BusyCursor outer;
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyCursor inner;
        }
        QVERIFY(QGuiApplication::overrideCursor()); // the outer one still holds
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

void PlatformTest::wavImage_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("dataOffset");
    QTest::addColumn<int>("dataSize");

    const QByteArray samples(100, char(0x80));
    const QByteArray fmt8 = FmtChunk(1, 1, 8000, 8);
    QTest::newRow("8-bit mono") << Riff(fmt8 + "data" + Le32(100) + samples) << true << 1 << 8000
                                << 8 << 12 + 24 + 8 << 100;
    QTest::newRow("16-bit stereo") << Riff(FmtChunk(1, 2, 22050, 16) + "data" + Le32(100) + samples)
                                   << true << 2 << 22050 << 16 << 12 + 24 + 8 << 100;
    // An odd-sized chunk is followed by a pad byte before the next chunk.
    QTest::newRow("odd chunk skipped with its pad")
        << Riff(fmt8 + "LIST" + Le32(3) + "abc" + '\0' + "data" + Le32(100) + samples) << true << 1
        << 8000 << 8 << 12 + 24 + 12 + 8 << 100;
    QTest::newRow("data size clipped to image")
        << Riff(fmt8 + "data" + Le32(0xFFFFFFF0u) + samples) << true << 1 << 8000 << 8
        << 12 + 24 + 8 << 100;
    QTest::newRow("not RIFF") << QByteArray("RIFX") + Le32(4) + "WAVE" << false << 0 << 0 << 0 << 0
                              << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("no data chunk") << Riff(fmt8) << false << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("data before fmt") << Riff("data" + Le32(100) + samples + fmt8) << false << 0 << 0
                                     << 0 << 0 << 0;
    QTest::newRow("compressed format") << Riff(FmtChunk(2, 1, 8000, 4) + "data" + Le32(100) + samples)
                                       << false << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("24-bit") << Riff(FmtChunk(1, 1, 8000, 24) + "data" + Le32(100) + samples) << false
                            << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("fmt larger than image")
        << Riff("fmt " + Le32(0x7FFFFFFF) + fmt8.mid(8)) << false << 0 << 0 << 0 << 0 << 0;
}

void PlatformTest::wavImage()
{
    QFETCH(QByteArray, image);
    QFETCH(bool, valid);
    const auto wav = ParseWavImage(image);
    QCOMPARE(wav.has_value(), valid);
    if (!valid)
        return;
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(int, dataOffset);
    QFETCH(int, dataSize);
    QCOMPARE(wav->channels, channels);
    QCOMPARE(wav->sampleRate, rate);
    QCOMPARE(wav->bitsPerSample, bits);
    QCOMPARE(int(wav->dataOffset), dataOffset);
    QCOMPARE(int(wav->dataSize), dataSize);
}

void PlatformTest::messageBox_data()
{
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<int>("press"); // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("qtButtons");
    QTest::addColumn<Answer>("expected");

    const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int yesNoCancel = yesNo | QMessageBox::Cancel;
    QTest::newRow("critical ok") << Icon::Critical << Buttons::Ok << int(QMessageBox::Ok)
                                 << int(QMessageBox::Critical) << int(QMessageBox::Ok) << Answer::Ok;
    QTest::newRow("ok escape") << Icon::Information << Buttons::Ok << 0
                               << int(QMessageBox::Information) << int(QMessageBox::Ok) << Answer::Ok;
    QTest::newRow("exclamation is warning")
        << Icon::Exclamation << Buttons::OkCancel << int(QMessageBox::Ok) << int(QMessageBox::Warning)
        << okCancel << Answer::Ok;
    QTest::newRow("ok cancel escape") << Icon::None << Buttons::OkCancel << 0
                                      << int(QMessageBox::NoIcon) << okCancel << Answer::Cancel;
    QTest::newRow("yes") << Icon::Question << Buttons::YesNo << int(QMessageBox::Yes)
                         << int(QMessageBox::Question) << yesNo << Answer::Yes;
    QTest::newRow("yes no escape") << Icon::Question << Buttons::YesNo << 0
                                   << int(QMessageBox::Question) << yesNo << Answer::No;
    QTest::newRow("no") << Icon::Question << Buttons::YesNoCancel << int(QMessageBox::No)
                        << int(QMessageBox::Question) << yesNoCancel << Answer::No;
    QTest::newRow("yes no cancel escape") << Icon::Question << Buttons::YesNoCancel << 0
                                          << int(QMessageBox::Question) << yesNoCancel
                                          << Answer::Cancel;
}

void PlatformTest::messageBox()
{
    QFETCH(Icon, icon);
    QFETCH(Buttons, buttons);
    QFETCH(int, press);
    QFETCH(int, qtIcon);
    QFETCH(int, qtButtons);
    QFETCH(Answer, expected);

    bool seen = false;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        seen = true;
        QCOMPARE(box->windowTitle(), QString("Title <b>"));
        QCOMPARE(box->text(), QString("Line 1\nLine <2>"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(int(box->icon()), qtIcon);
        QCOMPARE(int(box->standardButtons()), qtButtons);
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QtMessageBoxes boxes;
    const Answer answer = boxes.show(nullptr, {"Title <b>", "Line 1\nLine <2>", icon, buttons});
    QVERIFY(seen);
    QCOMPARE(answer, expected);
}

void PlatformTest::fileDialogOpen()
{
    QTemporaryDir dir;
    QFile f(dir.filePath("game.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();

    bool seen = false;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
        seen = true;
        QCOMPARE(d->windowTitle(), QString("Select ROM"));
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(d->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(d->nameFilters(), QtNameFilters("A|*.BIN|B|*.SMD|C|*.MGD"));
        QCOMPARE(d->selectedNameFilter(), QString("B (*.SMD *.smd)"));
        QCOMPARE(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        d->selectNameFilter("A (*.BIN *.bin)");
        d->selectFile(dir.filePath("game.bin"));
        static_cast<QDialog*>(d)->accept(); // accept() is protected in QFileDialog
    });
    QtFileDialogs dialogs;
    FileDialogRequest request;
    request.title = "Select ROM";
    request.filter = "A|*.BIN|B|*.SMD|C|*.MGD";
    request.filterIndex = 2;
    request.directory = dir.path();
    request.mustExist = true;
    const FileDialogResult result = dialogs.run(nullptr, request);
    QVERIFY(seen);
    QVERIFY(result.accepted);
    QCOMPARE(QFileInfo(result.path).canonicalFilePath(), QFileInfo(f).canonicalFilePath());
    QCOMPARE(result.filterIndex, 1);
}

void PlatformTest::fileDialogSave()
{
    QTemporaryDir dir;
    bool seen = false;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
        seen = true;
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(d->fileMode(), QFileDialog::AnyFile);
        QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
        // A filter index out of range falls back to the first filter.
        QCOMPARE(d->selectedNameFilter(), QString("Binary ROM Files (*.BIN) (*.BIN *.bin)"));
        QCOMPARE(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        auto* edit = d->findChild<QLineEdit*>();
        QVERIFY(edit);
        QCOMPARE(edit->text(), QString("OUT.BIN"));
        d->selectNameFilter(d->nameFilters().at(1));
        static_cast<QDialog*>(d)->accept(); // accept() is protected in QFileDialog
    });
    QtFileDialogs dialogs;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Save Binary ROM File";
    request.filter = "Binary ROM Files (*.BIN)|*.BIN|32X ROM Files (*.32X)|*.32X";
    request.filterIndex = 7;
    request.fileName = dir.filePath("OUT.BIN"); // the folder comes from the preset path
    request.confirmOverwrite = true;
    const FileDialogResult result = dialogs.run(nullptr, request);
    QVERIFY(seen);
    QVERIFY(result.accepted);
    // Qt's dialog follows the filter change with the extension of the name.
    QCOMPARE(QFileInfo(result.path).fileName(), QString("OUT.32X"));
    QCOMPARE(result.filterIndex, 2);
}

void PlatformTest::fileDialogCancel()
{
    WhenModal<QFileDialog>([](QFileDialog* d) {
        QVERIFY(d->testOption(QFileDialog::DontConfirmOverwrite)); // not asked for
        d->reject();
    });
    QtFileDialogs dialogs;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.filter = "A|*.A";
    const FileDialogResult result = dialogs.run(nullptr, request);
    QVERIFY(!result.accepted);
    QVERIFY(result.path.isEmpty());
}

void PlatformTest::settingsOnFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("settings.ini");
    QtSettingsStore store(ini);
    QVERIFY(!store.contains("S2"));
    QCOMPARE(store.value("S2", "*ZORP*/S2.ZORP"), QString("*ZORP*/S2.ZORP"));
    store.setValue("S2", "/home/u/S2.ZORP");
    store.setValue("S&K", "*ZORP*/S&K.ZORP");
    QVERIFY(store.contains("S2"));
    QCOMPARE(store.value("S2", "x"), QString("/home/u/S2.ZORP"));

    // A second store on the same file sees the values, under "Templates".
    QtSettingsStore again(ini);
    QCOMPARE(again.value("S&K", "x"), QString("*ZORP*/S&K.ZORP"));
    {
        QSettings raw(ini, QSettings::IniFormat);
        QCOMPARE(raw.value("Templates/S2").toString(), QString("/home/u/S2.ZORP"));
    }

    store.remove("S2");
    store.remove("never there");
    store.remove(""); // must not wipe the group
    QVERIFY(!again.contains("S2"));
    QVERIFY(again.contains("S&K"));

    // Other sections live beside "Templates" and do not see its keys.
    SettingsStore& recent = store.group("RecentROMs");
    QCOMPARE(&store.group("RecentROMs"), &recent);
    QVERIFY(!recent.contains("S&K"));
    recent.setValue("File1", "/roms/s2.bin");
    recent.setValue("S&K", "other");
    QCOMPARE(again.value("S&K", "x"), QString("*ZORP*/S&K.ZORP"));
    QCOMPARE(again.group("RecentROMs").value("File1", "x"), QString("/roms/s2.bin"));
    QSettings raw(ini, QSettings::IniFormat);
    QCOMPARE(raw.value("RecentROMs/File1").toString(), QString("/roms/s2.bin"));
}

void PlatformTest::settingsDefaultLocation()
{
    QtSettingsStore store;
    store.setValue("S3", "*ZORP*/S3.ZORP");
    QSettings native("ZORP-II", "Sonic the Hedgehog Quorvane");
    QVERIFY2(native.fileName().startsWith(configHome_.path()), qPrintable(native.fileName()));
    QVERIFY(native.fileName().contains("Sonic the Hedgehog Quorvane"));
    QCOMPARE(native.value("Templates/S3").toString(), QString("*ZORP*/S3.ZORP"));
    store.remove("S3");
    native.sync();
    QVERIFY(!native.contains("Templates/S3"));
}

void PlatformTest::accessibleNameFollowsTheTitle()
{
    QWidget window;
    window.setWindowTitle("ZORP-II");
    FollowTitleWithAccessibleName(&window);
    QCOMPARE(window.accessibleName(), QString("ZORP-II"));
    window.setWindowTitle("ZORP-II - S2 - /roms/s2.bin");
    QCOMPARE(window.accessibleName(), QString("ZORP-II - S2 - /roms/s2.bin"));
    window.setWindowTitle(QString());
    QCOMPARE(window.accessibleName(), QString());
}

void PlatformTest::settingsGroupsStayApart()
{
    QTemporaryDir dir;
    QtSettingsStore templates(dir.filePath("s.ini"));
    QtSettingsStore programs(dir.filePath("s.ini"), "Programs");
    templates.setValue("Emulator", "t");
    programs.setValue("Emulator", "blastem %ROM%");
    QCOMPARE(templates.value("Emulator", "x"), QString("t"));
    QCOMPARE(QSettings(dir.filePath("s.ini"), QSettings::IniFormat).value("Programs/Emulator").toString(),
             QString("blastem %ROM%"));
}

void PlatformTest::commandWords_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    const QString rom = "/my roms/s2 \"hack\".bin";
    QTest::newRow("placeholder") << "blastem %ROM%" << QStringList{"blastem", rom};
    QTest::newRow("no placeholder: path last") << "emu -f" << QStringList{"emu", "-f", rom};
    QTest::newRow("inside a word") << "emu --cart=%ROM%" << QStringList{"emu", "--cart=" + rom};
    QTest::newRow("quotes and spaces") << "  \"/opt/My Emu/emu\"   \"%ROM%\" " << QStringList{"/opt/My Emu/emu", rom};
    QTest::newRow("only spaces") << "   " << QStringList{};
}

void PlatformTest::commandWords()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QCOMPARE(CommandWords(line, "/my roms/s2 \"hack\".bin"), words);
}

void PlatformTest::launcherFindsAndReports()
{
    QTemporaryDir dir;
    QFile stub(dir.filePath("zorpstub"));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()));
    QtProgramLauncher launcher;
    QCOMPARE(launcher.findProgram("zorpstub"), stub.fileName());
    QVERIFY(launcher.findProgram("zorp-none").isEmpty());
    QVERIFY(launcher.findProgram(stub.fileName()).isEmpty()); // a path is no name to look up
    qputenv("PATH", oldPath);

    QString error;
    QVERIFY(!launcher.startDetached("zorp-none", {}, error));
    QCOMPARE(error, QString("The program \"zorp-none\" was not found on the PATH or in /usr/games."));
    QVERIFY(!launcher.startDetached(dir.filePath("none/emu"), {}, error));
    QVERIFY2(error.startsWith("The program \"" + dir.filePath("none/emu") + "\" could not be started: "),
             qPrintable(error));
}

void PlatformTest::soundIgnoresUnplayableImages()
{
    QtSoundOutput sound;
    sound.play(QByteArray());
    QVERIFY(!sound.isPlaying());
    sound.play(QByteArray("RIFF\xff\xff\xff\x7fWAVEfmt ", 16));
    QVERIFY(!sound.isPlaying());
    sound.play(Riff(FmtChunk(1, 1, 8000, 8) + "data" + Le32(0)));
    QVERIFY(!sound.isPlaying());
    sound.stop();
    sound.stop();
    QVERIFY(!sound.isPlaying());

    // A playable sound: whether a device exists here or not, a new play
    // replaces the old one and stop() ends it.
    const QByteArray tone = Riff(FmtChunk(1, 1, 8000, 8) + "data" + Le32(8000) + QByteArray(8000, 'x'));
    sound.play(tone);
    sound.play(tone);
    sound.stop();
    QVERIFY(!sound.isPlaying());
}

void PlatformTest::scriptedMessagesQueueAndRecord()
{
    ScriptedMessageBoxes boxes;
    boxes.answer(Answer::Yes);
    boxes.answer(Answer::Cancel);
    QCOMPARE(boxes.show(nullptr, {"T1", "a\nb", Icon::Question, Buttons::YesNoCancel}), Answer::Yes);
    QCOMPARE(boxes.show(nullptr, {"T2", "c", Icon::Exclamation, Buttons::OkCancel}), Answer::Cancel);
    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.asked.size(), 2);
    QCOMPARE(boxes.asked[0].title, QString("T1"));
    QCOMPARE(boxes.asked[0].text, QString("a\nb"));
    QCOMPARE(boxes.asked[0].icon, Icon::Question);
    QCOMPARE(boxes.asked[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(boxes.asked[1].title, QString("T2"));
    QCOMPARE(boxes.asked[1].icon, Icon::Exclamation);
}

void PlatformTest::scriptedMessagesUnexpected_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("ok") << Buttons::Ok << Answer::Ok;
    QTest::newRow("ok cancel") << Buttons::OkCancel << Answer::Cancel;
    QTest::newRow("yes no") << Buttons::YesNo << Answer::No;
    QTest::newRow("yes no cancel") << Buttons::YesNoCancel << Answer::Cancel;
}

void PlatformTest::scriptedMessagesUnexpected()
{
    QFETCH(Buttons, buttons);
    QFETCH(Answer, expected);
    ScriptedMessageBoxes boxes;
    QCOMPARE(boxes.show(nullptr, {"T", "x", Icon::None, buttons}), expected);
    QCOMPARE(boxes.unexpected, 1);
    QCOMPARE(boxes.asked.size(), 1);
}

void PlatformTest::scriptedFilesQueueAndRecord()
{
    ScriptedFileDialogs files;
    files.choose("/tmp/a.bin", 2);
    files.cancel();
    FileDialogRequest open;
    open.title = "Open";
    open.filter = "A|*.A";
    open.mustExist = true;
    const FileDialogResult first = files.run(nullptr, open);
    QVERIFY(first.accepted);
    QCOMPARE(first.path, QString("/tmp/a.bin"));
    QCOMPARE(first.filterIndex, 2);
    QVERIFY(!files.run(nullptr, open).accepted);
    QCOMPARE(files.unexpected, 0);
    QVERIFY(!files.run(nullptr, open).accepted); // nothing left queued
    QCOMPARE(files.unexpected, 1);
    QCOMPARE(files.asked.size(), 3);
    QCOMPARE(files.asked[0].title, QString("Open"));
    QVERIFY(files.asked[0].mustExist);
}

void PlatformTest::scriptedSettingsAndSound()
{
    MemorySettingsStore settings;
    settings.setValue("S2", "p");
    QVERIFY(settings.contains("S2"));
    QVERIFY(!settings.contains("s2")); // keys as stored
    QCOMPARE(settings.value("S1", "d"), QString("d"));
    settings.remove("S2");
    settings.remove("S2");
    QVERIFY(settings.values.isEmpty());

    RecordingSoundOutput sound;
    sound.play("one");
    sound.play("two");
    QVERIFY(sound.isPlaying());
    sound.stop();
    QVERIFY(!sound.isPlaying());
    QCOMPARE(sound.played, (QVector<QByteArray>{"one", "two"}));
    QCOMPARE(sound.stops, 1);
}

QTEST_MAIN(PlatformTest)
#include "PlatformTest.moc"
