// Play: the emulator command line (found on first use), the save-first
// question over every editor's unsaved edits, the messages, and one real
// start of a stub emulator script that records its arguments.
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
#include "audio/WavWriter.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

// Every editor over one synthetic Sonic 1 style image.
struct PlayWindow {
    Harness h;
    QString rom;
    Bytes image = MakeGenesisImage(0x20000, "SONIC THE               HEDGEHOG", "GM 00001009-00");
    QPointer<frmZorpII> window;

    explicit PlayWindow(const QString& romName = QStringLiteral("game.bin"))
    {
        Put(image, 0x3000, {0x81, 0x82});
        Put(image, 0x8000, Bytes(2 * 1032, 0));
        rom = h.path(romName);
        WriteBytes(rom, image);
        WriteTemplate(h.path("all.ZORP"),
                      {"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13", "LEVELSELECT",
                       "LEVELS: 1", "LVLLENGTH: 8", "DECODETBL: S1", "STARTADDR: 0x1000", "ENDFRAME", "PALEDIT",
                       "Green Hill: 0x2000: 16", "ENDFRAME", "PLAYLIST", "STARTADDR: 0x3000", "MINSONG: 1",
                       "MAXSONG: 0x1F", "ADDVALTOROM: 0x80", "PLAYLISTSIZE: 2", "PLAYLISTS: 1", "SONG: Zone: 0",
                       "ENDFRAME", "S3S", "STARTADDR: 0x8000", "STAGES: 2", "EXTRAPROPS: Y", "ENDFRAME",
                       "WAVIMPORTER", "STARTADDR: 0x10000", "WAVLENGTH: 4000", "ENDFRAME"});
        window = h.open(h.path("all.ZORP"), rom);
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
            box->setText(QStringLiteral("MARBLE"));
            QTest::keyClick(box, Qt::Key_Return);
            QCoreApplication::processEvents(); // the view commits from its event loop
        } else if (editor == QLatin1String("playlist")) {
            auto* bar = find<QScrollBar>(window, QStringLiteral("vscPlaylist_0"));
            bar->setValue(bar->value() - 1);
        } else if (editor == QLatin1String("WAV sample")) {
            WriteBytes(h.path("sega.wav"), BuildPlainWav(Bytes(100, 0x40), 16000));
            h.scripted.files.choose(h.path("sega.wav"));
            QTest::mouseClick(find<QWidget>(window, QStringLiteral("cmdImportWAV")), Qt::LeftButton);
        } else if (editor == QLatin1String("palette")) {
            auto* slider = find<QSlider>(window, QStringLiteral("hscColor_0"));
            slider->setValue(slider->value() == slider->maximum() ? 0 : slider->maximum());
        } else {
            auto* rings = find<QSpinBox>(window, QStringLiteral("udRings"));
            rings->setValue(rings->value() == 7 ? 8 : 7);
        }
    }
};

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

private slots:
    void emulatorCommandLine_data()
    {
        QTest::addColumn<QStringList>("stored");    // nothing stored, or the one value
        QTest::addColumn<QStringList>("installed"); // names the launcher finds
        QTest::addColumn<QStringList>("started");   // program and arguments; empty: none
        QTest::addColumn<QString>("message");       // the one message's text, or empty
        const QString rom = QStringLiteral("ROM");
        const QString none = QStringLiteral(
            "No emulator is set, and neither blastem nor mednafen was found on the PATH or in /usr/games.\n"
            "Install one (for example: apt-get install blastem), or set the command line with Emulator in the "
            "main menu.");
        QTest::newRow("first use finds blastem") << QStringList{} << QStringList{"mednafen", "blastem"}
                                                 << QStringList{"blastem", rom} << QString();
        QTest::newRow("then mednafen") << QStringList{} << QStringList{"mednafen"} << QStringList{"mednafen", rom}
                                       << QString();
        QTest::newRow("stored line wins") << QStringList{"\"/opt/my emu\" -f --cart=%ROM%"} << QStringList{"blastem"}
                                          << QStringList{"/opt/my emu", "-f", "--cart=" + rom} << QString();
        QTest::newRow("none installed") << QStringList{} << QStringList{} << QStringList{} << none;
        QTest::newRow("none chosen") << QStringList{""} << QStringList{"blastem"} << QStringList{} << none;
        QTest::newRow("cannot start") << QStringList{"emu %ROM%"} << QStringList{"fail"} << QStringList{"emu", rom}
                                      << "emu %ROM%\nbroken\nCheck the command line with Emulator in the main menu.";
    }

    void emulatorCommandLine()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, started);
        QFETCH(QString, message);
        PlayWindow w;
        auto& programs = w.h.scripted.programs;
        for (const QString& value : stored)
            w.h.scripted.preferences.setValue("Emulator", value);
        for (const QString& name : installed)
            programs.installed.insert(name, "/usr/games/" + name);
        programs.failWith = installed.contains("fail") ? QStringLiteral("broken") : QString();
        w.play();

        started.replaceInStrings(QStringLiteral("ROM"), QDir::toNativeSeparators(w.rom));
        QCOMPARE(programs.started.size(), started.isEmpty() ? 0 : 1);
        if (!started.isEmpty()) {
            QCOMPARE(programs.started[0].program, started.first());
            QCOMPARE(programs.started[0].arguments, started.mid(1));
            // The default found on first use is kept.
            QCOMPARE(w.h.scripted.preferences.value("Emulator", ""),
                     stored.value(0, started.first() + " %ROM%"));
        }
        const auto& asked = w.h.scripted.messages.asked;
        QCOMPARE(asked.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            const bool none = started.isEmpty();
            QCOMPARE(asked[0].title, none ? QStringLiteral("No Emulator") : QStringLiteral("Cannot Start Emulator"));
            QCOMPARE(asked[0].text, message);
            QCOMPARE(asked[0].icon, none ? Icon::Information : Icon::Critical);
            QCOMPARE(asked[0].buttons, Buttons::Ok);
        }
    }

    void saveQuestion_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("fileGone"); // the save fails
        QTest::addColumn<bool>("started");
        for (const char* editor : {"level name", "palette", "playlist", "special stages", "WAV sample"})
            QTest::newRow(editor) << QString(editor) << int(Answer::Yes) << false << true;
        QTest::newRow("no: plays the file as it is") << "playlist" << int(Answer::No) << false << true;
        QTest::newRow("cancel") << "playlist" << int(Answer::Cancel) << false << false;
        QTest::newRow("yes, but the save fails") << "playlist" << int(Answer::Yes) << true << false;
    }

    void saveQuestion()
    {
        QFETCH(QString, editor);
        QFETCH(int, answer);
        QFETCH(bool, fileGone);
        QFETCH(bool, started);
        PlayWindow w;
        w.h.scripted.preferences.setValue("Emulator", "emu %ROM%");
        QVERIFY(!w.window->HasUnsavedEdits());
        w.edit(editor);
        QVERIFY(w.window->HasUnsavedEdits());
        if (fileGone)
            QFile::remove(w.rom);
        w.h.scripted.messages.answer(Answer(answer));
        w.h.scripted.messages.answer(Answer::Ok);
        w.play();

        const auto& asked = w.h.scripted.messages.asked;
        QCOMPARE(asked.size(), fileGone ? 2 : 1);
        QCOMPARE(asked[0].title, QStringLiteral("Save Before Playing"));
        QCOMPARE(asked[0].text, QStringLiteral("This ROM has changes that have not been saved.\n"
                                               "Would you like to save them before playing?"));
        QCOMPARE(asked[0].icon, Icon::Question);
        QCOMPARE(asked[0].buttons, Buttons::YesNoCancel);
        if (fileGone)
            QCOMPARE(asked[1].title, QStringLiteral("Cannot Save ROM"));
        QCOMPARE(w.h.scripted.programs.started.size(), started ? 1 : 0);
        const bool saved = answer == int(Answer::Yes) && !fileGone;
        QCOMPARE(w.window->HasUnsavedEdits(), !saved);
        if (!fileGone)
            QCOMPARE(ReadBytes(w.rom) != w.image, saved);
    }

    void stubEmulatorGetsTheRomAsOneArgument()
    {
        PlayWindow w(QStringLiteral("my game (rev 1).bin"));
        const QString stub = w.h.path(QStringLiteral("stub emu.sh"));
        QFile script(stub);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Renamed into place, so the test never reads a half-written record.
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QtProgramLauncher launcher;
        w.h.context.platform.programs = &launcher;
        SetEmulatorCommand(w.h.context.platform, '"' + stub + "\" --fullscreen %ROM%");

        w.play();
        QCOMPARE(w.h.scripted.messages.asked.size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stub + ".args"), 10000);
        QFile recorded(stub + ".args");
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(recorded.readAll()), "--fullscreen\n" + QDir::toNativeSeparators(w.rom) + '\n');
    }
};

QTEST_MAIN(PlayTest)
#include "PlayTest.moc"
