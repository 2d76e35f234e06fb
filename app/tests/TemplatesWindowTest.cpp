// The default templates window driven through its widgets, with scripted
// dialogs and an in-memory settings store.
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "AppContext.h"
#include "Screenshot.h"
#include "frmTemplates.h"
#include "support/AppTestSupport.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp::ui;
using zorp::test::MinimalTemplate;
using zorp::test::ProgramDirectory;

namespace {

const QStringList kIds = {"S1", "S1_J", "S2", "S3", "S&K", "S2_K", "SO", "S3S", "SMS_S1"};

QString DefaultOf(const QString& id)
{
    return "*ZORP*/" + id + ".ZORP";
}

QStringList AllDefaults()
{
    QStringList paths;
    for (const QString& id : kIds)
        paths << DefaultOf(id);
    return paths;
}

} // namespace

class TemplatesWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramDirectory> dir;
    std::unique_ptr<ScriptedPlatform> scripted;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmTemplates> window;

    template <typename T>
    T* child(const char* name)
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void openWindow()
    {
        window = std::make_unique<frmTemplates>(*context);
        window->show();
    }
    void select(int row) { child<QListWidget>("lstGames")->setCurrentRow(row); }
    QLineEdit* text() { return child<QLineEdit>("txtTemplate"); }
    void click(const char* button) { child<QPushButton>(button)->click(); }

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
        window.reset();
        context.reset();
        scripted.reset();
        dir.reset();
    }

    void controlsBearTheirNamesAndCaptions()
    {
        openWindow();
        QCOMPARE(window->windowTitle(), QString("Template Path Editor"));
        QCOMPARE(child<QGroupBox>("fraGame")->title(), QString("Game name:"));
        QCOMPARE(child<QGroupBox>("fraTempToLoad")->title(), QString("Template to Load:"));
        QCOMPARE(child<QPushButton>("cmdBrowse")->text(), QString("Browse..."));
        QCOMPARE(child<QPushButton>("cmdDefault")->text(), QString("Default"));
        QCOMPARE(child<QPushButton>("cmdCustomise")->text(), QString("Customise..."));
        QVERIFY(child<QLabel>("lblZORPPath")->text().startsWith("Templates come from the data folders"));
        QCOMPARE(child<QPushButton>("cmdSave")->text(), QString("Save to Registry"));
        QCOMPARE(child<QPushButton>("cmdRestore")->text(), QString("Restore from Registry"));
        QCOMPARE(child<QPushButton>("cmdRestoreDefault")->text(), QString("Restore Defaults"));
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && widget->objectName().startsWith(QLatin1String("qt_")) == false)
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        }
    }

    // Revisions that open templates of their own get a row each, showing the
    // template that revision opens; the choice is stored under its name.
    void revisionsWithTheirOwnTemplateHaveARowEach()
    {
        const QByteArray serial2 = "GM 00001051|REVISIONS: REV00=GM 00001051-00; REV01=GM 00001051-01; "
                                   "REV02=GM 00001051-02";
        dir->write("ROM_DEF.RDEF", "ZORP-II ROM DEFINITIONS FILE|t\r\nt|Sonic the Hedgehog 2|S2|" +
                                       zorp::test::TitleField("TEST SONIC 2") + "|" + serial2 +
                                       "\r\nt|Sonic the Hedgehog 3|S3|" + zorp::test::TitleField("TEST SONIC 3") +
                                       "|GM MK-1079 |REVISIONS: REV00=GM MK-1079 -00\r\n");
        dir->write("S2_REV00.ZORP", MinimalTemplate("S2"));
        dir->write("S2_REV02.ZORP", MinimalTemplate("S2"));
        openWindow();
        auto* list = child<QListWidget>("lstGames");
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        QCOMPARE(rows, (QStringList{"Sonic the Hedgehog 2 REV00", "Sonic the Hedgehog 2 REV01",
                                    "Sonic the Hedgehog 2 REV02", "Sonic the Hedgehog 3"}));
        QCOMPARE(window->templatePaths(), (QStringList{"*ZORP*/S2_REV00.ZORP", "*ZORP*/S2.ZORP",
                                                       "*ZORP*/S2_REV02.ZORP", "*ZORP*/S3.ZORP"}));
        select(2);
        text()->setText("/elsewhere/Mine.ZORP");
        scripted->messages.answer(Answer::Ok);
        click("cmdSave");
        QCOMPARE(scripted->settings.values, (QMap<QString, QString>{{"S2_REV02", "/elsewhere/Mine.ZORP"}}));
        click("cmdDefault");
        QCOMPARE(text()->text(), QString("*ZORP*/S2_REV02.ZORP"));
    }

    void emptyStoreShowsDefaultsAndSaveWritesNothing()
    {
        openWindow();
        auto* list = child<QListWidget>("lstGames");
        QCOMPARE(list->count(), zorp::test::kTestGameCount);
        QCOMPARE(list->item(2)->text(), QString("Sonic the Hedgehog 2"));
        QCOMPARE(list->item(4)->text(), QString("Sonic & Knuckles"));
        QCOMPARE(window->templatePaths(), AllDefaults());
        QVERIFY(!child<QGroupBox>("fraTempToLoad")->isEnabled()); // nothing selected yet

        scripted->messages.answer(Answer::Ok);
        click("cmdSave");
        QVERIFY(scripted->settings.values.isEmpty());
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("Template Filenames Saved"));
        QCOMPARE(scripted->messages.asked[0].text, QString("The template filenames have been saved."));
        QCOMPARE(scripted->messages.asked[0].icon, Icon::Information);
        QCOMPARE(scripted->messages.unexpected, 0);
    }

    void storedPathsAreShownPerGame()
    {
        scripted->settings.values["S3"] = "/elsewhere/S3 hack.ZORP";
        scripted->settings.values["S2"] = "*ZORP*\\S2.ZORP"; // the older separator
        openWindow();
        select(3);
        QCOMPARE(text()->text(), QString("/elsewhere/S3 hack.ZORP"));
        QVERIFY(child<QGroupBox>("fraTempToLoad")->isEnabled());
        select(0);
        QCOMPARE(text()->text(), DefaultOf("S1"));
        QVERIFY(!window->pathsModified()); // showing a row is not an edit

        // The older form of a default path counts as the default: saving
        // removes it rather than storing it again.
        scripted->messages.answer(Answer::Ok);
        click("cmdSave");
        QCOMPARE(scripted->settings.values.keys(), QStringList{"S3"});
    }

    void typingAPathForGame3StoresOnlyThatKey()
    {
        openWindow();
        select(3);
        text()->selectAll();
        QTest::keyClicks(text(), "*ZORP*/mine/S3b.ZORP");
        QVERIFY(window->pathsModified());
        QCOMPARE(window->templatePaths()[3], QString("*ZORP*/mine/S3b.ZORP"));

        scripted->messages.answer(Answer::Ok);
        click("cmdSave");
        QCOMPARE(scripted->settings.values.size(), 1);
        QCOMPARE(scripted->settings.values.value("S3"), QString("*ZORP*/mine/S3b.ZORP"));
    }

    void savingADefaultPathRemovesItsKey()
    {
        scripted->settings.values["S1"] = "/old/S1.ZORP";
        scripted->settings.values["S2"] = "/old/S2.ZORP";
        openWindow();
        select(0);
        click("cmdDefault");
        QCOMPARE(text()->text(), DefaultOf("S1"));
        QVERIFY(window->pathsModified());
        scripted->messages.answer(Answer::Ok);
        click("cmdSave");
        QCOMPARE(scripted->settings.values.keys(), QStringList{"S2"});
    }

    void restoreFromStoreReloadsOnlyAfterAChange()
    {
        openWindow();
        select(2);
        // The store changes behind the window's back; without an edit the
        // button leaves the working copy alone.
        scripted->settings.values["S2"] = "/new/S2.ZORP";
        click("cmdRestore");
        QCOMPARE(text()->text(), DefaultOf("S2"));

        text()->setText("/typed/S2.ZORP");
        QVERIFY(window->pathsModified());
        click("cmdRestore");
        QCOMPARE(text()->text(), QString("/new/S2.ZORP"));
        QCOMPARE(child<QListWidget>("lstGames")->currentRow(), 2); // the list keeps its selection
        QVERIFY(!window->pathsModified());
    }

    void restoreDefaults_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void restoreDefaults()
    {
        QFETCH(bool, yes);
        scripted->settings.values["S1"] = "/a/S1.ZORP";
        scripted->settings.values["S&K"] = "/a/SK.ZORP";
        openWindow();
        select(4);
        QCOMPARE(text()->text(), QString("/a/SK.ZORP"));

        scripted->messages.answer(yes ? Answer::Yes : Answer::No);
        if (yes)
            scripted->messages.answer(Answer::Ok);
        click("cmdRestoreDefault");
        const MessageRequest& question = scripted->messages.asked.at(0);
        QCOMPARE(question.title, QString("Restore Default Template Filenames"));
        QCOMPARE(question.text, QString("Are you sure you want to restore the default template filenames?"));
        QCOMPARE(question.icon, Icon::Question);
        QCOMPARE(question.buttons, Buttons::YesNo);
        if (!yes) {
            QCOMPARE(scripted->messages.asked.size(), 1);
            QCOMPARE(scripted->settings.values.size(), 2);
            QCOMPARE(text()->text(), QString("/a/SK.ZORP"));
            return;
        }
        // The keys are gone at once, before any save.
        QVERIFY(scripted->settings.values.isEmpty());
        QCOMPARE(window->templatePaths(), AllDefaults());
        QCOMPARE(text()->text(), DefaultOf("S&K"));
        QVERIFY(!window->pathsModified());
        QCOMPARE(scripted->messages.asked.size(), 2);
        QCOMPARE(scripted->messages.asked[1].title, QString("Defaults Restored"));
        QCOMPARE(scripted->messages.asked[1].text, QString("Default template filenames have been restored."));
        QCOMPARE(scripted->messages.asked[1].icon, Icon::Information);
        window->close();
        QVERIFY(scripted->settings.values.isEmpty());
    }

    void browse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("accepted");

        const QString outdated = "The selected template file requires a later version of ZORP-II.\n\n"
                                 "Download the latest version of ZORP-II at the official webstie:\n" +
                                 QString(zorp::kOfficialWebsite) + " .";
        const QString net = "The selected file is an ZORP .NET template. This\n"
                            "template requires ZORP .NET, which can be downloaded\nat " +
                            QString(zorp::kSiblingWebsite) + " .";
        const QString wrongGame = "Warning: The selected template is designed for the game\n"
                                  "Sonic the Hedgehog, not Sonic the Hedgehog 2.\n"
                                  "Do you still want to use this template?";
        const QString invalid = "The selected file is not an ZORP-II template.";

        QTest::newRow("same game") << MinimalTemplate("S2") << -1 << QString() << QString() << true;
        QTest::newRow("same game, other case") << MinimalTemplate("s2") << -1 << QString() << QString() << true;
        QTest::newRow("unknown game") << MinimalTemplate("NOT A GAME") << -1 << QString() << QString() << true;
        QTest::newRow("older version") << MinimalTemplate("S2", "0.0.9") << -1 << QString() << QString() << true;
        QTest::newRow("not a template") << QByteArray("just some text\r\n") << -1 << "Invalid Template" << invalid
                                        << false;
        QTest::newRow("empty file") << QByteArray() << -1 << "Invalid Template" << invalid << false;
        QTest::newRow("space before version colon")
            << QByteArray("ZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: S2\r\nZORP-II VERSION : 0.0.13\r\n") << -1
            << "Invalid Template" << invalid << false;
        QTest::newRow("outdated") << MinimalTemplate("S2", "0.0.99") << -1 << "Outdated Version" << outdated << false;
        QTest::newRow("sibling format") << QByteArray("ZORP .NET TEMPLATE FILE\r\nGAME: S2\r\n") << -1
                                        << "ZORP .NET Template" << net << false;
        QTest::newRow("other game, yes") << MinimalTemplate("S1") << int(Answer::Yes) << "Incorrect Game" << wrongGame
                                         << true;
        QTest::newRow("other game, no") << MinimalTemplate("S1") << int(Answer::No) << "Incorrect Game" << wrongGame
                                        << false;
    }

    void browse()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, answer);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(bool, accepted);

        const QString chosen = dir->write("picked/Chosen.ZORP", content);
        openWindow();
        select(2);
        scripted->files.choose(chosen);
        if (answer >= 0)
            scripted->messages.answer(Answer(answer));
        else if (!message.isEmpty())
            scripted->messages.answer(Answer::Ok);
        click("cmdBrowse");

        QCOMPARE(scripted->files.asked.size(), 1);
        const FileDialogRequest& dialog = scripted->files.asked[0];
        QCOMPARE(dialog.title, QString("Select ZORP-II Template File"));
        QCOMPARE(dialog.filter, QString("ZORP-II Template Files (*.ZORP)|*.ZORP"));
        QCOMPARE(dialog.fileName, dir->path() + "/S2.ZORP"); // the current path, expanded

        if (message.isEmpty()) {
            QVERIFY(scripted->messages.asked.isEmpty());
        } else {
            QCOMPARE(scripted->messages.asked.size(), 1);
            QCOMPARE(scripted->messages.asked[0].title, title);
            QCOMPARE(scripted->messages.asked[0].text, message);
            QCOMPARE(scripted->messages.asked[0].icon, answer >= 0 ? Icon::Question : Icon::Critical);
            QCOMPARE(scripted->messages.asked[0].buttons, answer >= 0 ? Buttons::YesNo : Buttons::Ok);
        }
        QCOMPARE(scripted->messages.unexpected, 0);
        // A template inside the program directory is kept with the token.
        const QString expected = accepted ? QString("*ZORP*/picked/Chosen.ZORP") : DefaultOf("S2");
        QCOMPARE(text()->text(), expected);
        QCOMPARE(window->templatePaths()[2], expected);
        QCOMPARE(window->pathsModified(), accepted);
        QVERIFY(scripted->settings.values.isEmpty()); // nothing stored before Save
    }

    void browseOutsideProgramDirectoryKeepsFullPath()
    {
        QTemporaryDir other;
        const QString path = other.filePath("Elsewhere.ZORP");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(MinimalTemplate("S2"));
        file.close();
        openWindow();
        select(2);
        scripted->files.choose(path);
        click("cmdBrowse");
        QCOMPARE(text()->text(), path);
    }

    void browseCancelledOrUnreadableChangesNothing()
    {
        openWindow();
        select(2);
        scripted->files.cancel();
        click("cmdBrowse");
        QCOMPARE(text()->text(), DefaultOf("S2"));
        QVERIFY(scripted->messages.asked.isEmpty());

        scripted->files.choose(dir->filePath("missing/None.ZORP"));
        scripted->messages.answer(Answer::Ok);
        click("cmdBrowse");
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("Invalid Template"));
        QVERIFY(scripted->messages.asked[0].text.contains(dir->filePath("missing/None.ZORP")));
        QCOMPARE(text()->text(), DefaultOf("S2"));
        QVERIFY(!window->pathsModified());
    }

    void customiseCopiesTheShippedTemplateToTheUsersFolder()
    {
        const QByteArray shippedBytes = MinimalTemplate("S2");
        const QString shipped = dir->write("S2.ZORP", shippedBytes);
        QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadGroup); // as installed
        openWindow();
        select(2);

        // Without a user folder there is nowhere to copy to.
        scripted->messages.answer(Answer::Ok);
        click("cmdCustomise");
        QCOMPARE(scripted->messages.asked.last().title, QString("Cannot Customise Template"));
        QCOMPARE(scripted->messages.asked.last().text, "The shipped template could not be copied:\n" + shipped +
                                                           "\nThere is no user data folder to copy it to.");
        QCOMPARE(scripted->messages.asked.last().icon, Icon::Critical);

        const QString own = dir->useUserFolder() + "/S2.ZORP";
        text()->setText("/somewhere/else.ZORP");
        scripted->messages.answer(Answer::Ok);
        click("cmdCustomise");
        const MessageRequest& done = scripted->messages.asked.last();
        QCOMPARE(done.title, QString("Template Customised"));
        QCOMPARE(done.text, "This copy of the shipped template is yours to edit:\n" + own +
                                "\nIt is used in place of the shipped one from now on.");
        QCOMPARE(done.icon, Icon::Information);
        QCOMPARE(text()->text(), DefaultOf("S2"));
        QFile copy(own);
        QVERIFY(copy.open(QIODevice::ReadWrite)); // the user's to edit
        QCOMPARE(copy.readAll(), shippedBytes);
        copy.write("; my edit\r\n");
        copy.close();

        // A second press asks before replacing the user's edits; No keeps them.
        scripted->messages.answer(Answer::No);
        click("cmdCustomise");
        QCOMPARE(scripted->messages.asked.last().title, QString("Customise Template"));
        QCOMPARE(scripted->messages.asked.last().buttons, Buttons::YesNo);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll().endsWith("; my edit\r\n"));
        copy.close();
        scripted->messages.answer(Answer::Yes);
        scripted->messages.answer(Answer::Ok);
        click("cmdCustomise");
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), shippedBytes);
        copy.close();

        // The shipped file was never written; a game without one says so.
        QFile original(shipped);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), shippedBytes);
        select(3);
        scripted->messages.answer(Answer::Ok);
        click("cmdCustomise");
        QVERIFY(scripted->messages.asked.last().text.endsWith("\nThere is no such file."));
        QVERIFY(!QFile::exists(dir->filePath("user/S3.ZORP")));
        QCOMPARE(scripted->messages.unexpected, 0);
    }

    // Saves a picture of the window when ZORP_SCREENSHOT_DIR names a folder.
    void screenshot()
    {
        if (zorp::test::ScreenshotFolder().isEmpty())
            QSKIP("ZORP_SCREENSHOT_DIR not set");
        scripted->settings.values["S3"] = "*ZORP*/hacks/S3 Remix.ZORP";
        openWindow();
        select(3);
        QVERIFY(zorp::test::SaveScreenshot(*window, "templates.png"));
    }

    void missingDefinitionsAreReportedNotFatal()
    {
        dir->removeFile("ROM_DEF.RDEF");
        scripted->messages.answer(Answer::Ok);
        openWindow();
        QCOMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("ROM Definitions File Not Found"));
        QCOMPARE(child<QListWidget>("lstGames")->count(), 0);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(TemplatesWindowTest)
#include "TemplatesWindowTest.moc"
