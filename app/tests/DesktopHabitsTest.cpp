// What a desktop user expects of the main menu: the recent ROMs list, ROM
// files dropped on the window, windows that keep their place, and the user's
// own templates used before the shipped ones.
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <memory>

#include "AppContext.h"
#include "RecentRoms.h"
#include "Screenshot.h"
#include "Startup.h"
#include "frmMainMenu.h"
#include "frmZorpII.h"
#include "rom/Locations.h"
#include "support/AppTestSupport.h"
#include "testing/ScriptedPlatform.h"

using namespace zorp::ui;
using zorp::test::MinimalTemplate;
using zorp::test::OpenWorkspaces;
using zorp::test::ProgramDirectory;
using zorp::test::Sonic2Image;

namespace {

QStringList EntryTips(QMenu* menu, const QString& prefix)
{
    QStringList tips;
    for (QAction* action : menu->actions()) {
        if (action->objectName().startsWith(prefix))
            tips << action->toolTip();
    }
    return tips;
}

} // namespace

class DesktopHabitsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramDirectory> dir;
    std::unique_ptr<ScriptedPlatform> scripted;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmMainMenu> menu;

    SettingsStore& recentStore() { return scripted->settings.group("RecentROMs"); }
    QStringList recent() { return RecentRoms(recentStore()).paths(); }

    QString sonic2(const QString& name) { return dir->write(name, Sonic2Image()); }

    // Sends a drag and drop of urls onto the menu; true when the drag was accepted.
    bool drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = menu->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu.get(), &dropEvent);
        return dropEvent.isAccepted();
    }

private slots:
    void init()
    {
        dir = std::make_unique<ProgramDirectory>();
        dir->write("S2.ZORP", MinimalTemplate("S2"));
        scripted = std::make_unique<ScriptedPlatform>();
        context = std::make_unique<AppContext>();
        context->platform = scripted->platform();
        QVERIFY(!context->reloadDefinitions());
        menu = std::make_unique<frmMainMenu>(*context);
        menu->show();
    }

    void cleanup()
    {
        zorp::test::DeleteWindowsExcept(menu.get());
        menu.reset();
        context.reset();
        scripted.reset();
        dir.reset();
    }

    void recentListKeepsTheTenNewestOnce()
    {
        MemorySettingsStore store;
        RecentRoms list(store);
        for (int i = 1; i <= 12; ++i)
            list.add(QString("/roms/%1.bin").arg(i));
        QStringList expected;
        for (int i = 12; i >= 3; --i)
            expected << QString("/roms/%1.bin").arg(i);
        QCOMPARE(list.paths(), expected);
        QCOMPARE(store.values.size(), RecentRoms::kMaxEntries);
        QCOMPARE(store.values.value("File1"), QString("/roms/12.bin"));

        list.add("/roms/7.bin"); // opened again: to the top, not twice
        QCOMPARE(list.paths().first(), QString("/roms/7.bin"));
        QCOMPARE(list.paths().count("/roms/7.bin"), 1);
        QCOMPARE(list.paths().size(), RecentRoms::kMaxEntries);

        store.values["File3"] = ""; // a hand-edited gap is skipped
        QCOMPARE(list.paths().size(), RecentRoms::kMaxEntries - 1);
        list.clear();
        QVERIFY(store.values.isEmpty());
    }

    void openedRomsAreListedAndMissingOnesDroppedWithANote()
    {
        QVERIFY(menu->recentMenu());
        menu->OpenROM(sonic2("A.bin"));
        menu->OpenROM(sonic2("B.bin"));
        menu->OpenROM(sonic2("C.bin"));
        QCOMPARE(recent(), (QStringList{dir->filePath("C.bin"), dir->filePath("B.bin"), dir->filePath("A.bin")}));
        // Only the recent list went outside the "Templates" section.
        QVERIFY(scripted->settings.values.isEmpty());

        dir->removeFile("B.bin");
        menu->RefreshRecentROMs();
        QCOMPARE(EntryTips(menu->recentMenu(), "mnuRecent1"), QStringList{dir->filePath("C.bin")});
        QCOMPARE(EntryTips(menu->recentMenu(), "mnuRecent2"), QStringList{dir->filePath("A.bin")});
        QCOMPARE(recent(), (QStringList{dir->filePath("C.bin"), dir->filePath("A.bin")}));
        auto* note = menu->recentMenu()->findChild<QAction*>("mnuRecentRemoved");
        QVERIFY(note);
        QVERIFY(!note->isEnabled());
        QCOMPARE(note->text(), "Removed, file no longer exists: " + dir->filePath("B.bin"));
        menu->RefreshRecentROMs(); // refreshed again before it was shown: the note stays
        QVERIFY(menu->recentMenu()->findChild<QAction*>("mnuRecentRemoved"));
        QMetaObject::invokeMethod(menu->recentMenu(), "aboutToHide");
        menu->RefreshRecentROMs(); // shown once: the note has done its job
        QVERIFY(!menu->recentMenu()->findChild<QAction*>("mnuRecentRemoved"));

        // Choosing an entry opens it as Open ROM does (A is open already, so
        // its workspace comes forward), and moves it to the top.
        menu->recentMenu()->findChild<QAction*>("mnuRecent2")->trigger();
        QCOMPARE(OpenWorkspaces().size(), 3);
        QCOMPARE(recent().first(), dir->filePath("A.bin"));
        QVERIFY(scripted->files.asked.isEmpty());

        menu->recentMenu()->findChild<QAction*>("mnuRecentClear")->trigger();
        QVERIFY(recent().isEmpty());
        menu->RefreshRecentROMs();
        QVERIFY(!menu->recentMenu()->findChild<QAction*>("mnuRecentNone")->isEnabled());
        QVERIFY(scripted->messages.asked.isEmpty());
    }

    void openRomButtonDropsDownTheRecentList()
    {
        auto* bar = menu->findChild<QToolBar*>("tlbMainMenu");
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(menu->findChild<QAction*>("ROM")));
        QVERIFY(button);
        QCOMPARE(button->menu(), menu->recentMenu());
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(menu->recentMenu()->accessibleName(), QString("Recent ROMs"));
    }

    void droppedRomFilesOpenAsOpenRomDoes()
    {
        const QString a = sonic2("drop/A.bin");
        const QString b = sonic2("drop/B.bin");
        QVERIFY(!drop({QUrl("https://example.invalid/rom.bin")})); // not a local file
        QVERIFY(!drop({QUrl::fromLocalFile(dir->filePath("drop"))})); // a folder
        QVERIFY(OpenWorkspaces().isEmpty());

        QVERIFY(drop({QUrl::fromLocalFile(a), QUrl("https://example.invalid/x"), QUrl::fromLocalFile(b)}));
        // Nothing opens inside the drop handler (its questions would run
        // inside the drag); the open follows once the drop is over.
        QVERIFY(OpenWorkspaces().isEmpty());
        QTRY_COMPARE(OpenWorkspaces().size(), 2);
        QStringList titles;
        for (frmZorpII* workspace : OpenWorkspaces())
            titles << workspace->windowTitle();
        titles.sort();
        QCOMPARE(titles, (QStringList{"ZORP-II - S2 - " + a, "ZORP-II - S2 - " + b}));

        // An unrecognised file dropped gets the same message as through Open ROM.
        scripted->messages.answer(Answer::Ok);
        QVERIFY(drop({QUrl::fromLocalFile(dir->write("notes.txt", "hello"))}));
        QVERIFY(scripted->messages.asked.isEmpty());
        QTRY_COMPARE(scripted->messages.asked.size(), 1);
        QCOMPARE(scripted->messages.asked[0].title, QString("Unrecognized ROM"));
    }

    void windowsKeepTheirSizeAndPlace()
    {
        menu->OpenROM(sonic2("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        frmZorpII* first = OpenWorkspaces().first();
        first->setGeometry(140, 120, 700, 520);
        const QRect placed = first->geometry();
        first->close();
        QVERIFY(scripted->settings.group("Windows").contains("frmZorpII_S2.ZORP"));

        menu->OpenROM(dir->filePath("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces().first()->geometry(), placed);
        OpenWorkspaces().first()->close();

        // The menu: where it was left wins over the top left corner.
        scripted->messages.answer(Answer::Ok); // no codec
        QVERIFY(menu->StartUp());
        menu->move(230, 170);
        const QRect left = menu->geometry();
        menu->hide();
        auto again = std::make_unique<frmMainMenu>(*context);
        scripted->messages.answer(Answer::Ok);
        QVERIFY(again->StartUp());
        QCOMPARE(again->geometry(), left);
    }

    void workspacesKeepAPlacePerTemplateNeverSmallerThanTheirEditors()
    {
        // A message-only workspace left small...
        menu->OpenROM(sonic2("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        OpenWorkspaces().first()->setGeometry(150, 130, 180, 40);
        OpenWorkspaces().first()->close();
        // ...does not shrink a workspace of a template with an editor.
        const QString wav = dir->write("WAV.ZORP", MinimalTemplate("S2") +
                                                       "WAVIMPORTER\r\nSTARTADDR: 0x1000\r\nWAVLENGTH: 256\r\n"
                                                       "FREQUENCY: 8000\r\nENDFRAME\r\n");
        scripted->settings.setValue("S2", wav);
        menu->OpenROM(dir->filePath("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        frmZorpII* workspace = OpenWorkspaces().first();
        const QSize content = workspace->size();
        QVERIFY2(content.width() > 300 && content.height() > 150, qPrintable(QString("%1 x %2")
                                                                              .arg(content.width())
                                                                              .arg(content.height())));
        // Nor does its own place, left smaller than its editor.
        workspace->setGeometry(160, 140, 200, 60);
        workspace->close();
        QVERIFY(scripted->settings.group("Windows").contains("frmZorpII_WAV.ZORP"));
        menu->OpenROM(dir->filePath("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces().first()->size(), content);
    }

    void ownTemplateComesBeforeTheShippedOne()
    {
        const QString user = dir->useUserFolder();
        const QString own = dir->write("user/S2.ZORP", MinimalTemplate("S2"));
        QCOMPARE(own, user + "/S2.ZORP");
        menu->OpenROM(sonic2("A.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces().first()->TemplateFile(), own);

        OpenWorkspaces().first()->close();

        dir->removeFile("user/S2.ZORP"); // gone again: the shipped one
        menu->OpenROM(sonic2("B.bin"));
        QCOMPARE(OpenWorkspaces().size(), 1);
        QCOMPARE(OpenWorkspaces().first()->TemplateFile(), dir->filePath("S2.ZORP"));
    }

    void userDataFolderIsTheOneZorptoolUses()
    {
        // zorp asks Qt, zorptool (no Qt) asks the core: both must name one folder.
        SetApplicationNames();
        QCOMPARE(QString::fromStdString(zorp::DefaultUserDataDir()),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    }

    void utilityWindowsKeepTheirPlaceToo()
    {
        QWidget* converter = menu->OpenROMConverter();
        converter->setGeometry(90, 80, 640, 420);
        const QRect placed = converter->geometry();
        converter->close();
        QWidget* again = menu->OpenROMConverter();
        QCOMPARE(again->geometry(), placed);
        QVERIFY(scripted->settings.group("Windows").contains("frmROMConv"));
    }

    // The menu with its recent list dropped down, for the docs.
    void screenshot()
    {
        if (zorp::test::ScreenshotFolder().isEmpty())
            QSKIP("ZORP_SCREENSHOT_DIR not set");
        const char* names[] = {"Sonic the Hedgehog 2 (W) (REV01).bin", "s2 level hack.bin", "Sonic3.smd",
                               "sonic_knuckles.bin"};
        RecentRoms list(recentStore());
        for (const char* name : names)
            list.add(sonic2(QString("roms/") + name));
        menu->RefreshRecentROMs();
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        QTest::qWait(50);
        const QPixmap window = menu->grab();
        menu->recentMenu()->adjustSize();
        const QPixmap dropDown = menu->recentMenu()->grab();
        auto* bar = menu->findChild<QToolBar*>("tlbMainMenu");
        const QWidget* button = bar->widgetForAction(menu->findChild<QAction*>("ROM"));
        const QPoint below = button->mapTo(menu.get(), QPoint(0, button->height()));
        QPixmap picture(qMax(window.width(), below.x() + dropDown.width()),
                        qMax(window.height(), below.y() + dropDown.height()));
        picture.fill(QColor(0xd8, 0xd8, 0xd8));
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, window);
        painter.drawPixmap(below, dropDown);
        painter.end();
        QVERIFY(picture.save(zorp::test::ScreenshotFolder() + "/mainmenu-recent.png"));
    }
};

QTEST_MAIN(DesktopHabitsTest)
#include "DesktopHabitsTest.moc"
