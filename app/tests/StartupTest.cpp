// Start-up: the codec plug-in found or not, the definitions file missing, and
// the command line.
#include <QApplication>
#include <QFile>
#include <QTest>

#include <memory>

#include "AppContext.h"
#include "Startup.h"
#include "frmMainMenu.h"
#include "frmZorpII.h"
#include "support/AppTestSupport.h"
#include "support/FakeOstrel.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp::ui;
using zorp::test::ProgramDirectory;

class StartupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramDirectory> dir;
    std::unique_ptr<ScriptedPlatform> scripted;
    std::unique_ptr<AppContext> context;

private slots:
    void init()
    {
        dir = std::make_unique<ProgramDirectory>();
        scripted = std::make_unique<ScriptedPlatform>();
        context = std::make_unique<AppContext>();
        context->platform = scripted->platform();
    }

    void cleanup()
    {
        DeleteRemainingWindows();
        context.reset();
        scripted.reset();
        dir.reset();
    }

    void pluginAbsentIsReportedAndTheMenuStarts()
    {
        // The temporary program directory holds no plug-in.
        const CodecLoad codec = LoadCodec(dir->path());
        QVERIFY(codec.codec == nullptr);
        QVERIFY(!codec.error.isEmpty());
        context->codec = codec.codec;

        scripted->messages.answer(Answer::Ok);
        StartedProgram started = StartProgram(*context, {});
        QVERIFY(started.menu);
        QVERIFY(started.menu->isVisible());
        QCOMPARE(started.menu->windowTitle(), QString("ZORP-II v.0014"));
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("The Ostrel Not Found"));
        QCOMPARE(scripted->messages.asked[0].text,
                 "Error: The Ostrel v0.0.2 (or later) has not been found.\n"
                 "You will not be able to use functions that require compression.\n\n"
                 "Please download The Ostrel at Tazzle Software's website,\n" +
                     QString(zorp::kCodecWebsite) + " .");
        QCOMPARE(scripted->messages.asked[0].icon, Icon::Critical);
        QCOMPARE(scripted->messages.asked[0].buttons, Buttons::Ok);
    }

    void codecThatDoesNotAnswerCountsAsMissing_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("answers true") << true;
        QTest::newRow("answers false") << false;
    }

    void codecThatDoesNotAnswerCountsAsMissing()
    {
        QFETCH(bool, present);
        zorp::test::FakeOstrel codec(present);
        context->codec = &codec;
        if (!present)
            scripted->messages.answer(Answer::Ok);
        StartedProgram started = StartProgram(*context, {});
        QVERIFY(started.menu);
        QCOMPARE(scripted->messages.asked.size(), present ? 0 : 1);
        if (!present)
            QCOMPARE(scripted->messages.asked[0].title, QString("The Ostrel Not Found"));
        started.menu.reset();
        context->codec = nullptr;
    }

    void realPluginIsFoundInTheProgramDirectory()
    {
        // The plug-in the build puts beside the program.
        if (!QFile::exists(QStringLiteral(ZORP_BIN_DIR) + "/libostrel.so"))
            QSKIP("the codec plug-in has not been built");
        const CodecLoad codec = LoadCodec(QStringLiteral(ZORP_BIN_DIR));
        QVERIFY2(codec.codec, qPrintable(codec.error));
        QVERIFY(codec.codec->OstrelPresent());
        context->codec = codec.codec;
        StartedProgram started = StartProgram(*context, {});
        QVERIFY(started.menu);
        QVERIFY(scripted->messages.asked.isEmpty());
        started.menu.reset();
        context->codec = nullptr;
    }

    void missingDefinitionsEndTheProgramWithFailure()
    {
        dir->removeFile("ROM_DEF.RDEF");
        scripted->messages.answer(Answer::Ok); // codec
        scripted->messages.answer(Answer::Ok); // definitions
        StartedProgram started = StartProgram(*context, {});
        QVERIFY(!started.menu);
        QVERIFY(started.exitStatus != 0);
        QCOMPARE(scripted->messages.asked.size(), 2);
        const MessageRequest& asked = scripted->messages.asked[1];
        QCOMPARE(asked.title, QString("ROM Definitions File Not Found"));
        QCOMPARE(asked.icon, Icon::Critical);
        QVERIFY(asked.text.startsWith("Error: ROM Definitions file (ROM_DEF.RDEF) not found.\n"));
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!widget->isVisible());
    }

    void romsOnTheCommandLineOpenAWorkspaceEach()
    {
        dir->write("S2.ZORP", zorp::test::MinimalTemplate("S2"));
        const QString first = dir->write("Sonic 2.bin", zorp::test::Sonic2Image());
        const QString second = dir->write("hack/Sonic 2 hack.bin", zorp::test::Sonic2Image());
        scripted->messages.answer(Answer::Ok); // codec
        StartedProgram started = StartProgram(*context, {first, second});
        QVERIFY(started.menu);
        QVERIFY(scripted->files.asked.isEmpty());
        QStringList titles;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* workspace = qobject_cast<frmZorpII*>(widget); workspace && workspace->isVisible())
                titles << workspace->windowTitle();
        }
        titles.sort();
        QCOMPARE(titles, (QStringList{"ZORP-II - S2 - " + first, "ZORP-II - S2 - " + second}));
    }

    void helpAndVersionNeedNoWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status"); // -1: not answered here
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("short help") << QStringList{"-h"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("a file") << QStringList{"a.bin"} << -1;
        QTest::newRow("version and a file") << QStringList{"--version", "a.bin"} << -1;
    }

    void helpAndVersionNeedNoWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QCOMPARE(AnswerWithoutWindows(arguments).value_or(-1), status);
    }

    void locationsReportNeedsDefinitionsTemplatesAndCodec()
    {
        if (!QFile::exists(QStringLiteral(ZORP_BIN_DIR) + "/libostrel.so"))
            QSKIP("the codec plug-in has not been built");
        const CodecLoad codec = LoadCodec(QStringLiteral(ZORP_BIN_DIR));
        QVERIFY2(codec.codec, qPrintable(codec.error));
        QCOMPARE(PrintLocations(codec), 1); // no template shipped
        dir->write("S2.ZORP", zorp::test::MinimalTemplate("S2"));
        QCOMPARE(PrintLocations(codec), 0);
        QCOMPARE(PrintLocations(CodecLoad{nullptr, "missing"}), 1);
        dir->removeFile("ROM_DEF.RDEF");
        QCOMPARE(PrintLocations(codec), 1);
    }

    void badCommandLinesAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"};
        QTest::newRow("option after files") << QStringList{"a.bin", "-x"};
        QTest::newRow("version among files") << QStringList{"--version", "a.bin"};
    }

    void badCommandLinesAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        StartedProgram started = StartProgram(*context, arguments);
        QVERIFY(!started.menu);
        QCOMPARE(started.exitStatus, 2);
        QVERIFY(scripted->messages.asked.isEmpty());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
