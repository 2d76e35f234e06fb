// Play: the emulator command line from the settings (found on first use),
// the save-first question over every editor's unsaved edits, the messages
// when no emulator is set or it cannot start, and one real start of a stub
// emulator script that records its arguments.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "EmulatorCommand.h"
#include "QtPlatform.h"
#include "WorkspaceFixture.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

// Every editor over one synthetic Sonic 1 style image.
QStringList AllEditorsTemplate()
{
    return {"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13",
            "LEVELSELECT", "LEVELS: 2", "LVLLENGTH: 8", "SEPARATOR: 0", "DECODETBL: S1", "STARTADDR: 0x1000",
            "ENDFRAME",
            "PALEDIT", "Green Hill: 0x2000: 16", "ENDFRAME",
            "PLAYLIST", "STARTADDR: 0x3000", "MINSONG: 1", "MAXSONG: 0x1F", "ADDVALTOROM: 0x80",
            "PLAYLISTSIZE: 4", "PLAYLISTS: 2", "SONG: Green Hill: 0", "SONG: Labyrinth: 1", "ENDFRAME",
            "S3S", "STARTADDR: 0x8000", "STAGES: 2", "EXTRAPROPS: Y", "MULTISTAGE: Y", "ENDFRAME",
            "WAVIMPORTER", "STARTADDR: 0x10000", "WAVLENGTH: 4000", "ENDFRAME"};
}

Bytes AllEditorsImage()
{
    Bytes image = MakeGenesisImage(0x20000, "SONIC THE               HEDGEHOG", "GM 00001009-00");
    Put(image, 0x1000, Bytes(16, 0xFF)); // two blank "S1" names
    for (int i = 0; i < 16; ++i)
        Put(image, 0x2000 + 2 * i, {0x00, 0x22});
    Put(image, 0x3000, {0x81, 0x82, 0x00, 0x00});
    Put(image, 0x8000, Bytes(2 * 1032, 0));
    return image;
}

struct PlayWindow {
    Harness h;
    QString rom;
    Bytes image;
    QPointer<frmZorpII> window;

    explicit PlayWindow(const QString& romName = QStringLiteral("game.bin"))
    {
        image = AllEditorsImage();
        rom = h.path(romName);
        WriteBytes(rom, image);
        WriteTemplate(h.path(QStringLiteral("all.ZORP")), AllEditorsTemplate());
        window = h.open(h.path(QStringLiteral("all.ZORP")), rom);
        window->show();
    }
    ~PlayWindow() { delete window.data(); }

    void play() { button(window, QStringLiteral("Play"))->trigger(); }

    // One real edit through the editor's own controls.
    void edit(const QString& editor)
    {
        if (editor == QLatin1String("level name")) {
            auto* list = find<QTreeWidget>(window, QStringLiteral("lstLevelSelect"));
            list->editItem(list->topLevelItem(0), 0);
            auto* box = qobject_cast<QLineEdit*>(list->itemWidget(list->topLevelItem(0), 0));
            QVERIFY(box);
            box->setText(QStringLiteral("MARBLE"));
            QTest::keyClick(box, Qt::Key_Return);
            QCoreApplication::processEvents();
        } else if (editor == QLatin1String("playlist")) {
            auto* bar = find<QScrollBar>(window, QStringLiteral("vscPlaylist_0"));
            bar->setValue(bar->value() - 1);
        } else if (editor == QLatin1String("WAV sample")) {
            const QString wav = h.path(QStringLiteral("sega.wav"));
            WriteBytes(wav, Bytes(100, 0x40));
            h.scripted.files.choose(wav);
            button(window, QStringLiteral("WavImporter"))->trigger();
            QTest::mouseClick(find<QWidget>(window, QStringLiteral("cmdImportWAV")), Qt::LeftButton);
        } else if (editor == QLatin1String("palette")) {
            button(window, QStringLiteral("PalEdit"))->trigger();
            auto* slider = find<QSlider>(window, QStringLiteral("hscColor_0"));
            slider->setValue(slider->value() == slider->maximum() ? 0 : slider->maximum());
        } else if (editor == QLatin1String("special stages")) {
            button(window, QStringLiteral("S3S"))->trigger();
            auto* rings = find<QSpinBox>(window, QStringLiteral("udRings"));
            rings->setValue(rings->value() == 7 ? 8 : 7);
        }
    }
};

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

private slots:
    void emulatorCommandLine_data();
    void emulatorCommandLine();
    void everyEditorsEditIsSavedBeforePlaying_data();
    void everyEditorsEditIsSavedBeforePlaying();
    void answersToTheSaveQuestion_data();
    void answersToTheSaveQuestion();
    void stubEmulatorGetsTheRomAsOneArgument();
};

void PlayTest::emulatorCommandLine_data()
{
    QTest::addColumn<QStringList>("stored");    // empty list: nothing stored; else the one stored value
    QTest::addColumn<QStringList>("installed"); // names the launcher finds
    QTest::addColumn<QString>("failWith");      // the launcher's start error
    QTest::addColumn<QStringList>("started");   // program, then arguments; empty: nothing started
    QTest::addColumn<QString>("message");       // title of the one message, or empty
    QTest::addColumn<QStringList>("storedAfter");

    const QString rom = QStringLiteral("%ROMPATH%");
    QTest::newRow("first use finds blastem") << QStringList{} << QStringList{"mednafen", "blastem"} << QString()
                                             << QStringList{"blastem", rom} << QString()
                                             << QStringList{"blastem %ROM%"};
    QTest::newRow("first use finds mednafen") << QStringList{} << QStringList{"mednafen"} << QString()
                                              << QStringList{"mednafen", rom} << QString()
                                              << QStringList{"mednafen %ROM%"};
    QTest::newRow("stored command wins") << QStringList{"\"/opt/my emu/emu\" -f --cart=%ROM%"}
                                         << QStringList{"blastem"} << QString()
                                         << QStringList{"/opt/my emu/emu", "-f", "--cart=" + rom} << QString()
                                         << QStringList{"\"/opt/my emu/emu\" -f --cart=%ROM%"};
    QTest::newRow("none installed") << QStringList{} << QStringList{} << QString() << QStringList{}
                                    << QStringLiteral("No Emulator") << QStringList{};
    QTest::newRow("none chosen") << QStringList{""} << QStringList{"blastem"} << QString() << QStringList{}
                                 << QStringLiteral("No Emulator") << QStringList{""};
    QTest::newRow("cannot start") << QStringList{"blastem %ROM%"} << QStringList{} << QStringLiteral("no such file")
                                  << QStringList{"blastem", rom} << QStringLiteral("Cannot Start Emulator")
                                  << QStringList{"blastem %ROM%"};
}

void PlayTest::emulatorCommandLine()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, installed);
    QFETCH(QString, failWith);
    QFETCH(QStringList, started);
    QFETCH(QString, message);
    QFETCH(QStringList, storedAfter);

    PlayWindow w;
    auto& programs = w.h.scripted.programs;
    auto& settings = w.h.scripted.programSettings;
    if (!stored.isEmpty())
        settings.setValue(QStringLiteral("Emulator"), stored.first());
    for (const QString& name : installed)
        programs.installed.insert(name, QStringLiteral("/usr/games/") + name);
    programs.failWith = failWith;
    if (!message.isEmpty())
        w.h.scripted.messages.answer(Answer::Ok);

    w.play();

    const QString rom = QDir::toNativeSeparators(w.rom);
    if (started.isEmpty()) {
        QVERIFY(programs.started.isEmpty());
    } else {
        QCOMPARE(programs.started.size(), 1);
        QCOMPARE(programs.started[0].program, started.first());
        QStringList arguments = started.mid(1);
        arguments.replaceInStrings(QStringLiteral("%ROMPATH%"), rom);
        QCOMPARE(programs.started[0].arguments, arguments);
    }
    const auto& asked = w.h.scripted.messages.asked;
    QCOMPARE(asked.size(), message.isEmpty() ? 0 : 1);
    if (message == QLatin1String("No Emulator")) {
        QCOMPARE(asked[0].text, QStringLiteral("No emulator is set, and neither blastem nor mednafen was found on the "
                                               "PATH or in /usr/games.\nInstall one (for example: apt-get install "
                                               "blastem), or set the command line with Emulator in the main menu."));
        QCOMPARE(asked[0].icon, Icon::Information);
        QCOMPARE(asked[0].buttons, Buttons::Ok);
    } else if (!message.isEmpty()) {
        QCOMPARE(asked[0].title, message);
        QCOMPARE(asked[0].text, QStringLiteral("blastem %ROM%\nno such file\n"
                                               "Check the command line with Emulator in the main menu."));
        QCOMPARE(asked[0].icon, Icon::Critical);
    }
    QCOMPARE(settings.values.values(), storedAfter);
    QCOMPARE(ReadBytes(w.rom), w.image); // nothing to save, nothing written
}

void PlayTest::everyEditorsEditIsSavedBeforePlaying_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<qint64>("changedAt"); // the edit changes one of the 32 bytes from here
    QTest::newRow("level name") << QStringLiteral("level name") << qint64{0x1000};
    QTest::newRow("palette") << QStringLiteral("palette") << qint64{0x2000};
    QTest::newRow("playlist") << QStringLiteral("playlist") << qint64{0x3000};
    QTest::newRow("special stages") << QStringLiteral("special stages") << qint64{0x8000 + 1024};
    QTest::newRow("WAV sample") << QStringLiteral("WAV sample") << qint64{0x10000};
}

void PlayTest::everyEditorsEditIsSavedBeforePlaying()
{
    QFETCH(QString, editor);
    QFETCH(qint64, changedAt);
    PlayWindow w;
    w.h.scripted.programSettings.setValue(QStringLiteral("Emulator"), QStringLiteral("emu %ROM%"));
    QVERIFY(!w.window->HasUnsavedEdits());
    w.edit(editor);
    QVERIFY(w.window->HasUnsavedEdits());

    w.h.scripted.messages.answer(Answer::Yes);
    w.play();
    const auto& asked = w.h.scripted.messages.asked;
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].title, QStringLiteral("Save Before Playing"));
    QCOMPARE(asked[0].text,
             QStringLiteral("This ROM has changes that have not been saved.\nWould you like to save them before playing?"));
    QCOMPARE(asked[0].icon, Icon::Question);
    QCOMPARE(asked[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(w.h.scripted.programs.started.size(), 1);
    QVERIFY(!w.window->HasUnsavedEdits());
    const Bytes saved = ReadBytes(w.rom);
    QCOMPARE(saved.size(), w.image.size());
    QVERIFY(!std::equal(saved.begin() + changedAt, saved.begin() + changedAt + 32, w.image.begin() + changedAt));

    // Nothing left to save: the next Play asks nothing.
    w.play();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(w.h.scripted.programs.started.size(), 2);
}

void PlayTest::answersToTheSaveQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("fileGone"); // the save fails: the file was removed
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes") << int(Answer::Yes) << false << true << true;
    QTest::newRow("no: plays the file as it is") << int(Answer::No) << false << true << false;
    QTest::newRow("cancel") << int(Answer::Cancel) << false << false << false;
    QTest::newRow("yes, but the save fails") << int(Answer::Yes) << true << false << false;
}

void PlayTest::answersToTheSaveQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, fileGone);
    QFETCH(bool, started);
    QFETCH(bool, saved);
    PlayWindow w;
    w.h.scripted.programSettings.setValue(QStringLiteral("Emulator"), QStringLiteral("emu %ROM%"));
    w.edit(QStringLiteral("playlist"));
    if (fileGone)
        QVERIFY(QFile::remove(w.rom));
    w.h.scripted.messages.answer(Answer(answer));
    if (fileGone)
        w.h.scripted.messages.answer(Answer::Ok);
    w.play();

    QCOMPARE(w.h.scripted.programs.started.size(), started ? 1 : 0);
    QCOMPARE(w.h.scripted.messages.asked.size(), fileGone ? 2 : 1);
    if (fileGone)
        QCOMPARE(w.h.scripted.messages.asked[1].title, QStringLiteral("Cannot Save ROM"));
    else
        QCOMPARE(ReadBytes(w.rom) != w.image, saved);
    QCOMPARE(w.window->HasUnsavedEdits(), !saved);
}

void PlayTest::stubEmulatorGetsTheRomAsOneArgument()
{
    PlayWindow w(QStringLiteral("my game (rev 1).bin"));
    const QString stub = w.h.path(QStringLiteral("stub emu.sh"));
    const QString record = w.h.path(QStringLiteral("arguments.txt"));
    {
        QFile script(stub);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "# Records each argument on its own line, then renames the file into place,\n"
                     "# so the test never reads it half written.\n"
                     "printf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$(dirname \"$0\")/arguments.txt\"\n");
    }
    QFile::setPermissions(stub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QtProgramLauncher launcher;
    w.h.context.platform.programs = &launcher;
    SetEmulatorCommand(w.h.context.platform, QLatin1Char('"') + stub + QStringLiteral("\" --fullscreen %ROM%"));

    w.play();
    QCOMPARE(w.h.scripted.messages.asked.size(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QFile recorded(record);
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(recorded.readAll()),
             QStringLiteral("--fullscreen\n") + QDir::toNativeSeparators(w.rom) + QLatin1Char('\n'));
}

QTEST_MAIN(PlayTest)
#include "PlayTest.moc"
