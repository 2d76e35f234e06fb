// The main menu driven as a user would: tool bar actions, the ROM and
// template dialogs answered by script, workspaces opened and closed.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <memory>

#include "AppContext.h"
#include "frmAbout.h"
#include "frmMainMenu.h"
#include "frmTemplates.h"
#include "Screenshot.h"
#include "frmZorpII.h"
#include "rom/RomFormat.h"
#include "support/AppTestSupport.h"
#include "support/FakeOstrel.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp::ui;
using zorp::test::MinimalTemplate;
using zorp::test::OpenWorkspaces;
using zorp::test::ProgramDirectory;

namespace {

const QString kRomFilter = "Genesis ROM Files (*.BIN; *.GEN)|*.BIN;*.GEN|Game Gear ROM Files (*.GG)|*.GG|"
                           "Sega Master System ROM Files (*.SMS)|*.SMS|Gameboy Advance ROM Files (*.GBA)|*.GBA|"
                           "S3S Special Stage Files (*.S3S)|*.S3S";

// A window that refuses to close, as a workspace does when its closing
// question is answered with Cancel.
class StubbornWindow : public QWidget {
public:
    int closeAttempts = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeAttempts;
        event->ignore();
    }
};

QByteArray S3SVersion1File()
{
    QByteArray bytes = "ZORP_S3SPECIALSTAGE";
    bytes += QByteArray(512 + 13, '\0');
    return bytes;
}

} // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramDirectory> dir;
    std::unique_ptr<ScriptedPlatform> scripted;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmMainMenu> menu;

    void expectMessage(int index, const QString& title, const QString& text, Icon icon,
                       Buttons buttons = Buttons::Ok)
    {
        QVERIFY(scripted->messages.asked.size() > index);
        const MessageRequest& asked = scripted->messages.asked[index];
        QCOMPARE(asked.title, title);
        QCOMPARE(asked.text, text);
        QCOMPARE(asked.icon, icon);
        QCOMPARE(asked.buttons, buttons);
    }

    // Opens a ROM through the tool bar with the ROM dialog answered by path.
    void openThroughMenu(const QString& romPath)
    {
        scripted->files.choose(romPath);
        menu->findChild<QAction*>("ROM")->trigger();
    }

private slots:
    void init()
    {
        dir = std::make_unique<ProgramDirectory>();
        scripted = std::make_unique<ScriptedPlatform>();
        context = std::make_unique<AppContext>();
        context->platform = scripted->platform();
        menu = std::make_unique<frmMainMenu>(*context);
        menu->show();
    }

    void cleanup()
    {
        // Windows still open from a test go now, without their questions.
        zorp::test::DeleteWindowsExcept(menu.get());
        menu.reset();
        context.reset();
        scripted.reset();
        dir.reset();
    }

    void toolBarHoldsTheSixActionsInOrder()
    {
        auto* bar = menu->findChild<QToolBar*>("tlbMainMenu");
        QVERIFY(bar);
        QStringList keys;
        QStringList tips;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                continue;
            keys << action->objectName();
            tips << action->toolTip();
            QWidget* button = bar->widgetForAction(action);
            QVERIFY(button && !button->accessibleName().isEmpty());
        }
        QCOMPARE(keys, (QStringList{"ROM", "Template", "ROMConv", "LockOn", "Emulator", "About"}));
        QCOMPARE(tips, (QStringList{"Hack into a ROM. (Ctrl+O)\nThe arrow lists the recent ROMs. (Ctrl+Shift+O)",
                                    "Select default templates for certain ROM types. (Ctrl+T)",
                                    "Convert ROMs to and from 4 popular formats. (Ctrl+Shift+C)",
                                    "Lock on a ROM with Sonic & Knuckles (Ctrl+L)",
                                    "Choose the emulator that Play starts. (Ctrl+E)", "About ZORP-II"}));
    }

    void startUpWithoutCodecWarnsAndGoesOn()
    {
        scripted->messages.answer(Answer::Ok);
        menu->move(300, 200);
        QVERIFY(menu->StartUp());
        QCOMPARE(scripted->messages.asked.size(), 1);
        expectMessage(0, "The Ostrel Not Found",
                      "Error: The Ostrel v0.0.2 (or later) has not been found.\n"
                      "You will not be able to use functions that require compression.\n\n"
                      "Please download The Ostrel at Tazzle Software's website,\n" +
                          QString(zorp::kCodecWebsite) + " .",
                      Icon::Critical);
        QCOMPARE(menu->windowTitle(), QString("ZORP-II v.0014"));
        QCOMPARE(menu->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        QCOMPARE(context->definitions.size(), size_t(zorp::test::kTestGameCount));
    }

    void startUpWithoutDefinitionsFails()
    {
        dir->removeFile("ROM_DEF.RDEF");
        scripted->messages.answer(Answer::Ok);
        scripted->messages.answer(Answer::Ok);
        QVERIFY(!menu->StartUp());
        QCOMPARE(scripted->messages.asked.size(), 2);
        QCOMPARE(scripted->messages.asked[1].title, QString("ROM Definitions File Not Found"));
        QCOMPARE(scripted->messages.asked[1].icon, Icon::Critical);
    }

    void openRecognisedRoms_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QString>("gameId");

        QTest::newRow(".bin") << "Sonic2.bin" << zorp::test::Sonic2Image() << "S2";
        QTest::newRow(".BIN") << "Sonic2.BIN" << zorp::test::Sonic2Image() << "S2";
        QTest::newRow(".Gen") << "Sonic2.Gen" << zorp::test::Sonic2Image() << "S2";
        QTest::newRow(".GG") << "Sonic.GG" << zorp::test::MasterSystemImage() << "SMS_S1";
        QTest::newRow(".sms") << "Sonic.sms" << zorp::test::MasterSystemImage() << "SMS_S1";
        QTest::newRow("S&K") << "SK.bin" << zorp::test::SonicKnucklesImage(false) << "S&K";
        QTest::newRow("S&K locked on S2") << "SK+S2.bin" << zorp::test::SonicKnucklesImage(true) << "S2_K";
        QTest::newRow("S3S v1") << "Stage.s3s" << S3SVersion1File() << "S3S";
    }

    void openRecognisedRoms()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, image);
        QFETCH(QString, gameId);
        const QString templatePath = dir->write(gameId + ".ZORP", MinimalTemplate(gameId.toLatin1()));
        const QString romPath = dir->write("roms/" + fileName, image);

        openThroughMenu(romPath);
        QCOMPARE(scripted->files.asked.size(), 1);
        QCOMPARE(scripted->files.asked[0].title, QString("Select ROM File"));
        QCOMPARE(scripted->files.asked[0].filter, kRomFilter);
        QCOMPARE(scripted->messages.asked.size(), 0);
        const QList<frmZorpII*> workspaces = OpenWorkspaces();
        QCOMPARE(workspaces.size(), 1);
        QCOMPARE(workspaces[0]->windowTitle(), "ZORP-II - " + gameId + " - " + romPath);
        // Screen readers announce the game and file, as the title shows them.
        QCOMPARE(workspaces[0]->accessibleName(), workspaces[0]->windowTitle());
        QCOMPARE(menu->accessibleName(), menu->windowTitle());
        QCOMPARE(workspaces[0]->ROMFile(), romPath);
        QCOMPARE(workspaces[0]->TemplateFile(), templatePath);
    }

    void romDialogCancelledOpensNothing()
    {
        scripted->files.cancel();
        menu->findChild<QAction*>("ROM")->trigger();
        QCOMPARE(scripted->files.asked.size(), 1);
        QVERIFY(scripted->messages.asked.isEmpty());
        QVERIFY(OpenWorkspaces().isEmpty());
    }

    void refusedRoms_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        const QString unrecognized = "The selected ROM is not defined in the ZORP-II ROM definition table.\n"
                                     "If you are sure this ROM is valid, please check the serial number & title.\n"
                                     "If problems persist, please contact " +
                                     QString(zorp::kContactAddress) + " about the problem.";
        QByteArray compilation = "ZORP_S3S_C      "; // 16-byte signature of a compilation
        compilation += QByteArray(40, '\0');

        QTest::newRow("unknown header") << "Other.bin"
                                        << zorp::test::GenesisImage(0x1000, "GM 99999999", "ANOTHER GAME")
                                        << "Unrecognized ROM" << unrecognized;
        QTest::newRow("title off by a space") << "Near.bin"
                                              << zorp::test::GenesisImage(0x1000, "GM 00001051", "TEST  SONIC 2")
                                              << "Unrecognized ROM" << unrecognized;
        QTest::newRow("too short for a header") << "Tiny.bin" << QByteArray(0x100, 'x') << "Unrecognized ROM"
                                                << unrecognized;
        QTest::newRow("unknown extension") << "Sonic2.zip" << zorp::test::Sonic2Image() << "Unrecognized ROM"
                                           << unrecognized;
        QTest::newRow("invalid S3S") << "Bad.S3S" << QByteArray("NOT A STAGE FILE AT ALL") << "Invalid S3S file"
                                     << "The S3S file you selected is invalid.";
        QTest::newRow("empty S3S") << "Empty.s3s" << QByteArray() << "Invalid S3S file"
                                   << "The S3S file you selected is invalid.";
        QTest::newRow("S3S/C") << "Set.S3S" << compilation << "Cannot Edit S3S/C File"
                               << "Error: The file you have selected is an S3S/C file.\nS3S/C files cannot be edited.";
    }

    void refusedRoms()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, text);
        for (const char* id : {"S2", "S3S"})
            dir->write(QString(id) + ".ZORP", MinimalTemplate(id));
        scripted->messages.answer(Answer::Ok);
        openThroughMenu(dir->write(fileName, content));
        QCOMPARE(scripted->messages.asked.size(), 1);
        expectMessage(0, title, text, Icon::Critical);
        QCOMPARE(scripted->files.asked.size(), 1); // no template dialog either
        QVERIFY(OpenWorkspaces().isEmpty());
    }

    // An SMD file is identified, but cannot be edited in place: Convert and
    // Open writes the plain image beside it and opens that, asking before it
    // replaces a file; the SMD file itself never changes.
    void interleavedRomIsConvertedAndOpened()
    {
        dir->write("S2.ZORP", MinimalTemplate("S2"));
        const QByteArray plain = zorp::test::Sonic2Image();
        const zorp::Bytes body = zorp::InterleaveSMD(zorp::Bytes(plain.begin(), plain.end()));
        zorp::Bytes smd = zorp::MakeSmdHeader(body.size());
        smd.insert(smd.end(), body.begin(), body.end());
        const QByteArray smdBytes(reinterpret_cast<const char*>(smd.data()), smd.size());
        const QString smdPath = dir->write("Sonic2.smd", smdBytes);
        const QString binPath = dir->filePath("Sonic2.bin");
        auto fileBytes = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QString text = "Sonic the Hedgehog 2 is stored in the SMD layout.\nThe workspace edits plain binary "
                             "images in place and cannot write into this file.\nConvert it to a plain .BIN with "
                             "Convert, then open that.\n\nConvert and Open writes the plain image beside it as\n" +
                             binPath + "\nand opens that; this file stays as it is.";

        scripted->messages.answer(Answer::Cancel); // only the message, nothing written
        menu->OpenROM(smdPath);
        expectMessage(0, "Interleaved ROM", text, Icon::Critical, Buttons::OkCancel);
        QCOMPARE(scripted->messages.asked[0].okText, QString("Convert and Open"));
        QVERIFY(!QFile::exists(binPath));
        QVERIFY(OpenWorkspaces().isEmpty());

        scripted->messages.answer(Answer::Ok);
        menu->OpenROM(smdPath);
        QCOMPARE(fileBytes(binPath), plain);
        QCOMPARE(fileBytes(smdPath), smdBytes);
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces()[0]->ROMFile(), binPath);
        zorp::test::DeleteWindowsExcept(menu.get());

        // A file already there is replaced only when the user says so.
        dir->write("Sonic2.bin", "mine");
        scripted->messages.answer(Answer::Ok);
        scripted->messages.answer(Answer::No);
        menu->OpenROM(smdPath);
        expectMessage(3, "Replace File", binPath + "\nalready exists. Replace it with the converted image?",
                      Icon::Question, Buttons::YesNo);
        QCOMPARE(fileBytes(binPath), QByteArray("mine"));
        QVERIFY(OpenWorkspaces().isEmpty());
        scripted->messages.answer(Answer::Ok);
        scripted->messages.answer(Answer::Yes);
        menu->OpenROM(smdPath);
        QCOMPARE(fileBytes(binPath), plain);
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(fileBytes(smdPath), smdBytes);
    }

    // A game the table knows but no template ships for: said before the dialog.
    void gameWithoutTemplateIsExplainedFirst()
    {
        const QString sms = dir->write("Sonic.sms", zorp::test::MasterSystemImage());
        scripted->messages.answer(Answer::Cancel);
        menu->OpenROM(sms);
        QCOMPARE(scripted->messages.asked.size(), 1);
        expectMessage(0, "No Template",
                      "No template ships for Sonic the Hedgehog (Master System), so ZORP-II has no editors for this "
                      "game yet.\nIf you have a template of your own for it, choose it in the next window; it is "
                      "used for this game from then on.",
                      Icon::Information, Buttons::OkCancel);
        QVERIFY(scripted->files.asked.isEmpty()); // Cancel: no dialog
        scripted->messages.answer(Answer::Ok);
        scripted->files.cancel();
        menu->OpenROM(sms);
        QCOMPARE(scripted->files.asked.size(), 1);
        QCOMPARE(scripted->files.asked[0].title,
                 QString("Select New ZORP-II Template File For Sonic the Hedgehog (Master System)"));
        QVERIFY(OpenWorkspaces().isEmpty());
    }

    // With a user copy of S2.ZORP, the shipped S2.ZORP chosen in the dialog
    // is the one that opens, now and next time.
    void chosenShippedTemplateIsNotShadowedByTheUsersCopy()
    {
        const QString user = dir->useUserFolder();
        const QString own = dir->write("user/S2.ZORP", MinimalTemplate("S2"));
        const QString shipped = dir->write("S2.ZORP", MinimalTemplate("S2"));
        scripted->settings.values["S2"] = "*ZORP*/gone.ZORP"; // a stored choice that no longer opens
        const QString rom = dir->write("Sonic2.bin", zorp::test::Sonic2Image());
        scripted->files.choose(shipped);
        menu->OpenROM(rom);
        QCOMPARE(scripted->settings.values.value("S2"), QString("*SHIPPED*/S2.ZORP"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces()[0]->TemplateFile(), shipped);
        zorp::test::DeleteWindowsExcept(menu.get());
        menu->OpenROM(rom);
        QCOMPARE(OpenWorkspaces()[0]->TemplateFile(), shipped);
        QCOMPARE(own, user + "/S2.ZORP");
    }

    void unreadableRomIsReportedAsSuch()
    {
        scripted->messages.answer(Answer::Ok);
        const QString missing = dir->filePath("gone/Sonic2.bin");
        menu->OpenROM(missing);
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("Cannot Open ROM"));
        QVERIFY(scripted->messages.asked[0].text.contains(missing));
        QVERIFY(OpenWorkspaces().isEmpty());
    }

    void missingTemplateIsAskedForAndRemembered()
    {
        const QString romPath = dir->write("Sonic2.bin", zorp::test::Sonic2Image());
        const QString chosen = dir->write("custom/My S2.ZORP", MinimalTemplate("S2"));

        scripted->files.choose(romPath);
        scripted->files.cancel();
        scripted->messages.answer(Answer::Ok); // no template ships: said first
        menu->findChild<QAction*>("ROM")->trigger();
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("No Template"));
        QCOMPARE(scripted->files.asked.size(), 2);
        const FileDialogRequest& dialog = scripted->files.asked[1];
        QCOMPARE(dialog.title, QString("Select New ZORP-II Template File For Sonic the Hedgehog 2"));
        QCOMPARE(dialog.filter, QString("ZORP-II Template Files (*.ZORP)|*.ZORP"));
        QCOMPARE(dialog.fileName, dir->path() + "/S2.ZORP");
        QVERIFY(OpenWorkspaces().isEmpty());
        QVERIFY(scripted->settings.values.isEmpty());

        scripted->files.choose(romPath);
        scripted->files.choose(chosen);
        scripted->messages.answer(Answer::Ok);
        menu->findChild<QAction*>("ROM")->trigger();
        QCOMPARE(scripted->settings.values.value("S2"), QString("*ZORP*/custom/My S2.ZORP"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces()[0]->TemplateFile(), chosen);

        // Opening the same file again brings its workspace forward instead
        // of a second one that would save over the first one's edits.
        openThroughMenu(romPath);
        QCOMPARE(scripted->files.asked.size(), 5);
        QCOMPARE(OpenWorkspaces().size(), 1);

        // Once it is closed, the next opening uses the stored choice without asking.
        QPointer<frmZorpII> first = OpenWorkspaces()[0];
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        openThroughMenu(romPath);
        QCOMPARE(scripted->files.asked.size(), 6);
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces()[0]->TemplateFile(), chosen);
        QCOMPARE(scripted->files.unexpected, 0);
    }

    void storedPathsUseTheProgramDirectoryToken_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("slash") << "*ZORP*/alt/S2.ZORP";
        QTest::newRow("backslash") << "*ZORP*\\alt\\S2.ZORP";
        QTest::newRow("lower-case token") << "*zorp*/alt/S2.ZORP";
    }

    void storedPathsUseTheProgramDirectoryToken()
    {
        QFETCH(QString, stored);
        const QString templatePath = dir->write("alt/S2.ZORP", MinimalTemplate("S2"));
        scripted->settings.values["S2"] = stored;
        openThroughMenu(dir->write("Sonic2.bin", zorp::test::Sonic2Image()));
        QCOMPARE(scripted->files.asked.size(), 1);
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces()[0]->TemplateFile(), templatePath);
    }

    void refusedTemplateOpensNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("sibling format") << QByteArray("ZORP .NET TEMPLATE FILE\r\nGAME: S2\r\n");
        QTest::newRow("later version") << MinimalTemplate("S2", "0.1.0");
    }

    void refusedTemplateOpensNothing()
    {
        QFETCH(QByteArray, content);
        dir->write("S2.ZORP", content);
        scripted->messages.answer(Answer::Ok); // the workspace's own message
        openThroughMenu(dir->write("Sonic2.bin", zorp::test::Sonic2Image()));
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(OpenWorkspaces().isEmpty());
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmZorpII*>(widget)); // nothing left behind, hidden or not
    }

    void templateWindowIsShared()
    {
        menu->findChild<QAction*>("Template")->trigger();
        menu->findChild<QAction*>("Template")->trigger();
        QList<frmTemplates*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<frmTemplates*>(widget))
                windows << t;
        }
        QCOMPARE(windows.size(), 1);
        frmTemplates* first = windows[0];
        QVERIFY(first->isVisible());
        QVERIFY(!first->isModal());
        QCOMPARE(menu->ShowTemplates(), first);

        // Closed, it drops its working copy; the next click builds a fresh one.
        QPointer<frmTemplates> closed = first;
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!closed);
        QVERIFY(menu->ShowTemplates() != nullptr);
    }

    void utilitiesOpenANewWindowPerClick()
    {
        for (const char* key : {"ROMConv", "LockOn"}) {
            const int before = QApplication::topLevelWidgets().size();
            menu->findChild<QAction*>(key)->trigger();
            menu->findChild<QAction*>(key)->trigger();
            int visible = 0;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() && widget != menu.get())
                    ++visible;
            }
            QVERIFY2(QApplication::topLevelWidgets().size() >= before + 2, key);
            QVERIFY(visible >= 2);
        }
    }

    void aboutShowsVersionAndCodecStatus_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("codec present") << true;
        QTest::newRow("codec missing") << false;
    }

    void aboutShowsVersionAndCodecStatus()
    {
        QFETCH(bool, present);
        zorp::test::FakeOstrel codec(true);
        context->codec = present ? &codec : nullptr;
        menu->findChild<QAction*>("About")->trigger();
        auto* about = menu->findChild<frmAbout*>();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), QString("Version 0.0.14"));
        QVERIFY(about->findChild<QLabel*>("lblLicence")->text().contains("MIT licence"));
        QVERIFY(about->findChild<QLabel*>("lblOstrel")->text().contains(present ? "present" : "not found"));
        auto* codecAbout = about->findChild<QPushButton*>("cmdAboutOstrel");
        QCOMPARE(codecAbout->isEnabled(), present);
        codecAbout->click();
        QCOMPARE(codec.aboutCalls, present ? 1 : 0);
        about->findChild<QPushButton*>("cmdOK")->click();
        QVERIFY(!about->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        context->codec = nullptr;
    }

    void definitionsThatVanishStopTheOpeningOnly()
    {
        dir->write("S2.ZORP", MinimalTemplate("S2"));
        const QString rom = dir->write("Sonic2.bin", zorp::test::Sonic2Image());
        dir->removeFile("ROM_DEF.RDEF");
        scripted->messages.answer(Answer::Ok);
        openThroughMenu(rom);
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("ROM Definitions File Not Found"));
        QVERIFY(OpenWorkspaces().isEmpty());
        QVERIFY(menu->isVisible());
    }

    // Saves a picture of the menu when ZORP_SCREENSHOT_DIR names a folder.
    void emulatorWindowEditsTheStoredCommandLine_data()
    {
        QTest::addColumn<QStringList>("stored"); // nothing stored yet, or the one value
        QTest::addColumn<QString>("typed");      // null: left as shown
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("first use shows the one found") << QStringList{} << QString() << "cmdOK" << "blastem %ROM%";
        QTest::newRow("Ok stores") << QStringList{"blastem %ROM%"} << " emu %ROM% " << "cmdOK" << "emu %ROM%";
        QTest::newRow("Cancel keeps") << QStringList{"x %ROM%"} << "emu %ROM%" << "cmdCancel" << "x %ROM%";
        QTest::newRow("emptied means none") << QStringList{"blastem %ROM%"} << "" << "cmdOK" << "";
    }

    void emulatorWindowEditsTheStoredCommandLine()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, storedAfter);
        scripted->programs.installed.insert("blastem", "/usr/games/blastem");
        for (const QString& value : stored)
            scripted->preferences.setValue("Emulator", value);

        menu->findChild<QAction*>("Emulator")->trigger();
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(window);
        QCOMPARE(window->accessibleName(), QString("Emulator"));
        auto* text = window->findChild<QLineEdit*>("txtEmulator");
        QCOMPARE(text->accessibleName(), QString("Emulator command line"));
        QCOMPARE(text->text(), stored.value(0, "blastem %ROM%"));
        if (!typed.isNull())
            text->setText(typed);
        window->findChild<QPushButton*>(button)->click();
        QVERIFY(!window->isVisible());
        QCOMPARE(scripted->preferences.value("Emulator", "(none)"), storedAfter);
    }

    void screenshot()
    {
        if (zorp::test::ScreenshotFolder().isEmpty())
            QSKIP("ZORP_SCREENSHOT_DIR not set");
        QVERIFY(zorp::test::SaveScreenshot(*menu, "mainmenu.png"));
        QWidget* about = menu->ShowAbout();
        QVERIFY(zorp::test::SaveScreenshot(*about, "about.png"));
        about->close();
        scripted->programs.installed.insert("blastem", "/usr/games/blastem");
        QWidget* emulator = menu->EditEmulator();
        QTest::qWait(50);
        QVERIFY(zorp::test::SaveScreenshot(*emulator, "emulator.png"));
        emulator->close();
    }

    void closingWithNothingElseOpenAsksNothing()
    {
        QVERIFY(menu->close());
        QVERIFY(scripted->messages.asked.isEmpty());
    }

    void closingWithWorkspaces_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes closes all") << true;
        QTest::newRow("no keeps all") << false;
    }

    void closingWithWorkspaces()
    {
        QFETCH(bool, yes);
        dir->write("S2.ZORP", MinimalTemplate("S2"));
        openThroughMenu(dir->write("A.bin", zorp::test::Sonic2Image()));
        openThroughMenu(dir->write("B.bin", zorp::test::Sonic2Image()));
        QCOMPARE(OpenWorkspaces().size(), 2);

        scripted->messages.answer(yes ? Answer::Yes : Answer::No);
        QCOMPARE(menu->close(), yes);
        QCOMPARE(scripted->messages.asked.size(), 1);
        expectMessage(0, "Windows Open",
                      "Warning: At least one other ZORP-II window is open.\n"
                      "Closing the menu bar will close the other windows.\n"
                      "Do you wish to continue?",
                      Icon::Exclamation, Buttons::YesNo);
        QCOMPARE(OpenWorkspaces().size(), yes ? 0 : 2);
        QCOMPARE(menu->isVisible(), !yes);
    }

    void aWindowThatStaysOpenStopsTheShutdown()
    {
        StubbornWindow stubborn;
        stubborn.show();
        dir->write("S2.ZORP", MinimalTemplate("S2"));
        openThroughMenu(dir->write("A.bin", zorp::test::Sonic2Image()));

        scripted->messages.answer(Answer::Yes);
        QVERIFY(!menu->close()); // the stubborn window keeps unsaved work
        QCOMPARE(stubborn.closeAttempts, 1);
        QVERIFY(menu->isVisible());
        QVERIFY(stubborn.isVisible());
    }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
