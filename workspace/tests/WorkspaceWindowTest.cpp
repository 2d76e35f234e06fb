// The workspace window as the template builds it: frames, tags, tool bar
// buttons and size; refused templates; the Template and editor buttons;
// closing questions; several windows at once.
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "WorkspaceFixture.h"
#include "FrameTag.h"
#include "palette/PalEdit.h"
#include "specialstage/S3SpecialStage.h"

using namespace zorp;
using namespace zorp::ui;
using namespace zorp::ui::test;

namespace {

constexpr size_t kImageSize = 0x20000;
constexpr size_t kNames = 0x1000;   // two 8-character "S1" names
constexpr size_t kPalette = 0x2000; // 16 Genesis colour words
constexpr size_t kPlaylist = 0x3000;
constexpr size_t kStages = 0x8000;  // 2 stage records

const QString kHeader = QStringLiteral("ZORP-II FLEXIBLE PROGRAMMING FILE");

QStringList LevelSelectBlock()
{
    return {QStringLiteral("LEVELSELECT"),     QStringLiteral("LEVELS: 2"),
            QStringLiteral("LVLLENGTH: 8"),     QStringLiteral("SEPARATOR: 0"),
            QStringLiteral("DECODETBL: S1"),    QStringLiteral("STARTADDR: 0x1000"),
            QStringLiteral("ENDFRAME")};
}

QStringList PaletteBlock()
{
    return {QStringLiteral("PALEDIT"), QStringLiteral("Green Hill: 0x2000: 16"), QStringLiteral("ENDFRAME")};
}

QStringList PlaylistBlock()
{
    return {QStringLiteral("PLAYLIST"),         QStringLiteral("STARTADDR: 0x3000"),
            QStringLiteral("MINSONG: 1"),       QStringLiteral("MAXSONG: 0x1F"),
            QStringLiteral("ADDVALTOROM: 0x80"), QStringLiteral("PLAYLISTSIZE: 4"),
            QStringLiteral("PLAYLISTS: 2"),     QStringLiteral("SONG: Green Hill: 0"),
            QStringLiteral("SONG: Labyrinth: 1"), QStringLiteral("ENDFRAME")};
}

QStringList StagesBlock()
{
    return {QStringLiteral("S3S"),           QStringLiteral("STARTADDR: 0x8000"),
            QStringLiteral("STAGES: 2"),     QStringLiteral("EXTRAPROPS: Y"),
            QStringLiteral("MULTISTAGE: Y"), QStringLiteral("YELLOWSPHERE: N"),
            QStringLiteral("ENDFRAME")};
}

QStringList WavBlock()
{
    return {QStringLiteral("WAVIMPORTER"), QStringLiteral("STARTADDR: 0x10000"), QStringLiteral("WAVLENGTH: 4000"),
            QStringLiteral("ENDFRAME")};
}

Bytes TestImage()
{
    Bytes image = MakeGenesisImage(kImageSize, "SONIC THE               HEDGEHOG", "GM 00001009-00");
    // "S1" codes: A = 0x11 ... X = 0x28, space 0xFF.
    Put(image, kNames, {0x22, 0x1B, 0x1F, 0x1F, 0x15, 0xFF, 0xFF, 0xFF}); // "RKOOE   "
    Put(image, kNames + 8, {0x1C, 0x1F, 0x28, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    for (int i = 0; i < 16; ++i)
        Put(image, kPalette + 2 * i, {static_cast<uint8_t>(i % 8 * 2), static_cast<uint8_t>(i % 4 * 0x22)});
    Put(image, kPlaylist, {0x81, 0x82, 0x00, 0x00});
    Bytes stages(2 * 1032, 0);
    stages[1024] = 0x40; // stage 1 faces left, column 3, row 4, 50 rings
    stages[1026] = 3;
    stages[1028] = 4;
    stages[1031] = 50;
    Put(image, kStages, stages);
    return image;
}

QStringList Template(std::initializer_list<QStringList> blocks)
{
    QStringList lines{kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 0.0.13")};
    for (const QStringList& block : blocks)
        lines += block;
    return lines;
}

struct Opened {
    Harness h;
    QString rom;
    QPointer<frmZorpII> window;

    explicit Opened(const QStringList& lines, const QString& name = QStringLiteral("t.ZORP"))
    {
        rom = h.path(QStringLiteral("game.bin"));
        const QString tpl = h.path(name);
        WriteBytes(rom, TestImage());
        WriteTemplate(tpl, lines);
        window = h.open(tpl, rom);
    }
    ~Opened() { delete window.data(); }
};

QSize ToolbarHint(frmZorpII* window) { return find<QToolBar>(window, QStringLiteral("tlbToolbar"))->sizeHint(); }
int ToolbarHeight(frmZorpII* window) { return ToolbarHint(window).height(); }

// Paints a blue sphere into cell (column, row) of the special stage editor.
void PaintBlue(S3SpecialStage* editor, int column, int row)
{
    editor->findChild<QAction*>(QStringLiteral("Blue"))->setChecked(true);
    QWidget* canvas = editor->findChild<QWidget*>(QStringLiteral("picSpecialStage"));
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(column * 12 + 6, row * 12 + 6));
}

// Moves the red slider of the palette editor as the user would.
void EditPalette(frmZorpII* window)
{
    auto* slider = find<QSlider>(window, QStringLiteral("hscColor_0"));
    slider->setValue(slider->value() == slider->maximum() ? 0 : slider->maximum());
}

} // namespace

class WorkspaceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowIdentity();
    void framesTagsAndButtons();
    void firstEditorButtonIsPressedAndButtonsSwitchFrames();
    void windowIsSizedToTheLargestFrame();
    void messageOnlyTemplateGivesToolbarOnly();
    void messagesAreShownInFileOrder();
    void refusedTemplateClosesTheWindow_data();
    void refusedTemplateClosesTheWindow();
    void compressedStagesWithoutCodecAreRefused();
    void templateButtonCancelInPaletteQuestionKeepsEverything();
    void templateButtonLoadsTheNewTemplate();
    void refusedTemplateFromTemplateButton();
    void closingWithModifiedStagesAsks();
    void closingWithModifiedStagesYesSaves();
    void closingWithModifiedPaletteAsks();
    void closingWithoutGuardedEditsAsksNothing();
    void severalWindowsAreIndependent();
};

void WorkspaceWindowTest::windowIdentity()
{
    Opened o(Template({LevelSelectBlock()}));
    QCOMPARE(o.window->objectName(), QStringLiteral("frmZorpII"));
    QVERIFY(o.window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(o.window->ROMFile(), o.rom);
    QCOMPARE(o.window->TemplateFile(), o.h.path(QStringLiteral("t.ZORP")));
    QCOMPARE(o.window->TemplateHeaderValue(), QStringLiteral("S1"));
    QCOMPARE(o.window->TemplateVersion(), QStringLiteral("0.0.13"));
    QCOMPARE(o.window->property("TemplateVersion").toString(), QStringLiteral("0.0.13"));
    QVERIFY(!o.window->DecodeTableIsCpp());
    QVERIFY(o.window->S3STempFile().isEmpty());

    // The tool bar: the commands, a separator, the editor buttons (the Sonic 1
    // and Sonic 2 editors beside those of their kind) and the two S3S formats, then
    // the edit history after another separator.
    const QList<QAction*> actions = find<QToolBar>(o.window, QStringLiteral("tlbToolbar"))->actions();
    QStringList keys;
    for (QAction* a : actions)
        keys << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(keys, QStringList({"Restore", "Save", "Template", "Play", "FixChecksum", "Options", "-", "LvlSelect",
                                "S2LvlSelect", "PalEdit", "Playlist", "S3S", "S1Stages", "S2SS", "WavImporter",
                                "S3S_1", "S3S_2", "-", "Undo", "Redo"}));

    // Every control a screen reader meets has a name.
    for (QWidget* w : o.window->findChildren<QWidget*>()) {
        if (w->objectName().startsWith(QLatin1String("fra")) || w->objectName().startsWith(QLatin1String("lst")) ||
            w->objectName().startsWith(QLatin1String("cmd")) || w->objectName().startsWith(QLatin1String("txt")))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
}

void WorkspaceWindowTest::framesTagsAndButtons()
{
    Opened o(Template({LevelSelectBlock(), PaletteBlock(), PlaylistBlock(), StagesBlock(), WavBlock()}));
    auto tag = [&](const char* name) { return TagOf(find<QObject>(o.window, QLatin1String(name))); };
    QCOMPARE(tag("fraLvlSelect"), QStringLiteral("4096|S1|NOVAR"));
    QCOMPARE(tag("fraPalEdit"), QStringLiteral("LOADED"));
    QCOMPARE(tag("fraPlaylist"), QStringLiteral("12288|128|4"));
    QCOMPARE(tag("fraS3S"), QStringLiteral("32768"));
    QCOMPARE(TagOf(find<S3SpecialStage>(o.window, QStringLiteral("S3S"))), QStringLiteral("N|0"));
    QCOMPARE(tag("fraWavImporter"), QStringLiteral("65536|4000|16000"));
    auto* list = find<QTreeWidget>(o.window, QStringLiteral("lstLevelSelect"));
    QCOMPARE(list->topLevelItem(1)->data(0, Qt::UserRole).toString(), QStringLiteral("8|0"));
    QCOMPARE(find<QLabel>(o.window, QStringLiteral("lblWavSpecs"))->text(),
             QStringLiteral("This game requires a WAV file with the frequency 16000Hz. The WAV must not be larger "
                            "than 4000 bytes."));
    for (const char* key : {"LvlSelect", "PalEdit", "Playlist", "S3S", "WavImporter"})
        QVERIFY2(button(o.window, QLatin1String(key))->isVisible(), key);
    QVERIFY(!button(o.window, QStringLiteral("S3S_1"))->isVisible());
    QVERIFY(!button(o.window, QStringLiteral("S3S_2"))->isVisible());

    // The special stage editor took the block's settings and shows stage 1.
    auto* editor = find<S3SpecialStage>(o.window, QStringLiteral("S3S"));
    QCOMPARE(editor->Stages(), 2);
    QVERIFY(editor->ShowArrows());
    QVERIFY(!editor->EnableYellowSphere());
    QVERIFY(editor->ShowStageNumCombo());
    QVERIFY(!editor->StageModified());

    // The level select list: fixed-pitch system font, one column of
    // 8 x longest + 16 pixels (wider only for a wider font).
    QCOMPARE(list->font().family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    const int charWidth = std::max(8, QFontMetrics(list->font()).horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(list->columnWidth(0), charWidth * 8 + 16);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("RKOOE   "));
}

void WorkspaceWindowTest::firstEditorButtonIsPressedAndButtonsSwitchFrames()
{
    // Palette block first in the file: the buttons are still tried in their
    // tool bar order, so the level select is shown.
    Opened o(Template({PaletteBlock(), LevelSelectBlock(), PlaylistBlock()}));
    QVERIFY(button(o.window, QStringLiteral("LvlSelect"))->isChecked());
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraLvlSelect")});

    button(o.window, QStringLiteral("PalEdit"))->trigger();
    QVERIFY(button(o.window, QStringLiteral("PalEdit"))->isChecked());
    QVERIFY(!button(o.window, QStringLiteral("LvlSelect"))->isChecked());
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraPalEdit")});

    button(o.window, QStringLiteral("Playlist"))->trigger();
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraPlaylist")});
}

void WorkspaceWindowTest::windowIsSizedToTheLargestFrame()
{
    Opened o(Template({LevelSelectBlock(), PlaylistBlock(), StagesBlock()}));
    o.window->show();
    QWidget* stages = find<QWidget>(o.window, QStringLiteral("fraS3S"));
    QWidget* levels = find<QWidget>(o.window, QStringLiteral("fraLvlSelect"));
    QWidget* playlist = find<QWidget>(o.window, QStringLiteral("fraPlaylist"));
    button(o.window, QStringLiteral("S3S"))->trigger();
    // The special stage frame is the largest here; the window's inner area
    // is exactly the tool bar plus that frame.
    const QSize stageSize = stages->size();
    QVERIFY(stageSize.width() >= 386 && stageSize.height() >= 410);
    const int width = std::max(stageSize.width(), ToolbarHint(o.window).width());
    // The status bar lies below the frames.
    QVERIFY(o.window->statusBar()->isVisible());
    QCOMPARE(o.window->size(),
             QSize(width, ToolbarHeight(o.window) + stageSize.height() + o.window->statusBar()->sizeHint().height()));
    // The level select frame is stretched over the whole area, the playlist
    // frame keeps its designed size.
    QCOMPARE(levels->geometry(), QRect(0, 0, width, stageSize.height()));
    QCOMPARE(playlist->size(), QSize(340, 400));
    QCOMPARE(find<QWidget>(o.window, QStringLiteral("lstLevelSelect"))->size(), levels->size());

    // When the user enlarges the window the stretched frame follows.
    o.window->resize(o.window->width() + 100, o.window->height() + 50);
    QCoreApplication::processEvents();
    QCOMPARE(levels->size(), QSize(width + 100, stageSize.height() + 50));
    QCOMPARE(playlist->size(), QSize(340, 400));
}

void WorkspaceWindowTest::messageOnlyTemplateGivesToolbarOnly()
{
    Opened o({kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 0.0.13"),
              QStringLiteral("MSGBOX"), QStringLiteral("ICON: !"), QStringLiteral("TITLE: Hello"),
              QStringLiteral("MSGLINE: First line"), QStringLiteral("MSGLINE: Second line"),
              QStringLiteral("ENDFRAME")});
    QCOMPARE(o.h.scripted.messages.asked.size(), 1);
    QCOMPARE(o.h.scripted.messages.asked[0].title, QStringLiteral("Hello"));
    QCOMPARE(o.h.scripted.messages.asked[0].text, QStringLiteral("First line\nSecond line"));
    QCOMPARE(o.h.scripted.messages.asked[0].icon, Icon::Exclamation);
    QCOMPARE(o.h.scripted.messages.asked[0].buttons, Buttons::Ok);
    QVERIFY(visibleFrames(o.window).isEmpty());
    for (const char* key : {"LvlSelect", "PalEdit", "Playlist", "S3S", "WavImporter", "S3S_1", "S3S_2"}) {
        QVERIFY2(!button(o.window, QLatin1String(key))->isVisible(), key);
        QVERIFY2(!button(o.window, QLatin1String(key))->isChecked(), key);
    }
    // The tool bar and the status bar, nothing between them.
    QCOMPARE(o.window->height(), ToolbarHeight(o.window) + o.window->statusBar()->sizeHint().height());
    QVERIFY(!o.window->refusedTemplate());
}

void WorkspaceWindowTest::messagesAreShownInFileOrder()
{
    Opened o({kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 0.0.13"),
              QStringLiteral("MSGBOX"), QStringLiteral("TITLE: One"), QStringLiteral("ENDFRAME"),
              QStringLiteral("NOSUCHCOMMAND"), QStringLiteral("MSGBOX"), QStringLiteral("TITLE: Three"),
              QStringLiteral("ENDFRAME")});
    QCOMPARE(o.h.scripted.messages.asked.size(), 3);
    QCOMPARE(o.h.scripted.messages.asked[0].title, QStringLiteral("One"));
    QCOMPARE(o.h.scripted.messages.asked[1].title, QStringLiteral("Invalid Command"));
    QVERIFY(o.h.scripted.messages.asked[1].text.startsWith(
        QStringLiteral("Invalid command in template file:\nNOSUCHCOMMAND\n")));
    QCOMPARE(o.h.scripted.messages.asked[2].title, QStringLiteral("Three"));
}

void WorkspaceWindowTest::refusedTemplateClosesTheWindow_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("title");
    QTest::newRow("outdated") << QStringList{kHeader, QStringLiteral("GAME: S1"),
                                             QStringLiteral("ZORP-II VERSION: 0.0.99")} +
                                     LevelSelectBlock()
                              << QStringLiteral("OUTDATED") << QStringLiteral("Outdated Version");
    QTest::newRow("sibling format") << QStringList{QStringLiteral("ZORP .NET TEMPLATE FILE")} + LevelSelectBlock()
                                    << QStringLiteral("NET") << QStringLiteral("ZORP .NET Template Detected");
    QTest::newRow("sibling after an editor")
        << QStringList{kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 0.0.9")} +
               PlaylistBlock() +
               QStringList{QStringLiteral("ZORP .NET TEMPLATE FILE")}
        << QStringLiteral("NET") << QStringLiteral("ZORP .NET Template Detected");
}

void WorkspaceWindowTest::refusedTemplateClosesTheWindow()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, status);
    QFETCH(QString, title);
    Harness h;
    const QString rom = h.path(QStringLiteral("game.bin"));
    const QString tpl = h.path(QStringLiteral("t.ZORP"));
    QVERIFY(WriteBytes(rom, TestImage()));
    QVERIFY(WriteTemplate(tpl, lines));

    QPointer<frmZorpII> window = new frmZorpII(h.context);
    window->setTemplateFile(tpl);
    window->setROMFile(rom);
    window->show();
    const TemplateRefusal refusal = window->LoadFrames();
    QVERIFY(window);
    QVERIFY(window->refusedTemplate());
    QVERIFY(!window->isVisible());
    QCOMPARE(QString::fromStdString(RefusalStatus(refusal)), status);
    QCOMPARE(h.scripted.messages.asked.size(), 1);
    QCOMPARE(h.scripted.messages.asked[0].title, title);
    QCOMPARE(h.scripted.messages.asked[0].icon, Icon::Critical);
    flushDeletes();
    QVERIFY(window.isNull());
}

void WorkspaceWindowTest::compressedStagesWithoutCodecAreRefused()
{
    Harness h;
    h.context.codec = nullptr;
    const QString rom = h.path(QStringLiteral("game.bin"));
    const QString tpl = h.path(QStringLiteral("t.ZORP"));
    QVERIFY(WriteBytes(rom, TestImage()));
    QVERIFY(WriteTemplate(tpl, Template({{QStringLiteral("S3S"), QStringLiteral("STARTADDR: 0x8000"),
                                          QStringLiteral("COMPRESSED: Y"), QStringLiteral("COMPLENGTH: 100"),
                                          QStringLiteral("ENDFRAME")},
                                         PlaylistBlock()})));
    std::unique_ptr<frmZorpII> window(h.open(tpl, rom));
    QCOMPARE(h.scripted.messages.asked.size(), 1);
    QCOMPARE(h.scripted.messages.asked[0].title, QStringLiteral("The Ostrel Not Found"));
    QVERIFY(TagOf(find<QObject>(window.get(), QStringLiteral("fraS3S"))).isEmpty());
    QVERIFY(!button(window.get(), QStringLiteral("S3S"))->isVisible());
    QVERIFY(button(window.get(), QStringLiteral("Playlist"))->isChecked());
}

void WorkspaceWindowTest::templateButtonCancelInPaletteQuestionKeepsEverything()
{
    Opened o(Template({LevelSelectBlock(), PaletteBlock()}));
    const QString otherTemplate = o.h.path(QStringLiteral("other.ZORP"));
    QVERIFY(WriteTemplate(otherTemplate, Template({PlaylistBlock()})));
    button(o.window, QStringLiteral("PalEdit"))->trigger();
    EditPalette(o.window);
    QVERIFY(find<PalEdit>(o.window, QStringLiteral("PalEdit"))->PaletteModified());

    o.h.scripted.files.choose(otherTemplate);
    o.h.scripted.messages.answer(Answer::Cancel);
    button(o.window, QStringLiteral("Template"))->trigger();

    QCOMPARE(o.h.scripted.files.asked.size(), 1);
    const FileDialogRequest& dialog = o.h.scripted.files.asked[0];
    QCOMPARE(dialog.title, QStringLiteral("Select ZORP-II Template"));
    QCOMPARE(dialog.filter, QStringLiteral("ZORP-II Template Files (*.ZORP)|*.ZORP"));
    QCOMPARE(dialog.fileName, o.h.path(QStringLiteral("t.ZORP")));
    QCOMPARE(o.h.scripted.messages.asked.size(), 1);
    const MessageRequest& question = o.h.scripted.messages.asked[0];
    QCOMPARE(question.title, QStringLiteral("Save Palette"));
    QCOMPARE(question.text, QStringLiteral("The current palette has not been saved.\nDo you want to save it?"));
    QCOMPARE(question.icon, Icon::Information);
    QCOMPARE(question.buttons, Buttons::YesNoCancel);

    QCOMPARE(o.window->TemplateFile(), o.h.path(QStringLiteral("t.ZORP")));
    QCOMPARE(TagOf(find<QObject>(o.window, QStringLiteral("fraLvlSelect"))), QStringLiteral("4096|S1|NOVAR"));
    QVERIFY(button(o.window, QStringLiteral("LvlSelect"))->isVisible());
    QVERIFY(!button(o.window, QStringLiteral("Playlist"))->isVisible());
    QVERIFY(find<PalEdit>(o.window, QStringLiteral("PalEdit"))->PaletteModified());
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraPalEdit")});
    // Settings are not touched: the choice is not the game's default.
    QVERIFY(o.h.scripted.settings.values.isEmpty());
}

void WorkspaceWindowTest::templateButtonLoadsTheNewTemplate()
{
    Opened o(Template({LevelSelectBlock(), PaletteBlock(), WavBlock()}));
    const QString otherTemplate = o.h.path(QStringLiteral("other.ZORP"));
    QVERIFY(WriteTemplate(otherTemplate, Template({PlaylistBlock()})));
    EditPalette(o.window);
    o.h.scripted.files.choose(otherTemplate);
    o.h.scripted.messages.answer(Answer::No);
    button(o.window, QStringLiteral("Template"))->trigger();

    QCOMPARE(o.window->TemplateFile(), otherTemplate);
    for (const char* name : {"fraLvlSelect", "fraPalEdit", "fraWavImporter", "fraS3S"})
        QVERIFY2(TagOf(find<QObject>(o.window, QLatin1String(name))).isEmpty(), name);
    for (const char* key : {"LvlSelect", "PalEdit", "WavImporter"})
        QVERIFY2(!button(o.window, QLatin1String(key))->isVisible(), key);
    QVERIFY(button(o.window, QStringLiteral("Playlist"))->isChecked());
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraPlaylist")});
    QCOMPARE(find<QLineEdit>(o.window, QStringLiteral("txtPlaylist_1"))->text(), QStringLiteral("02"));
    QCOMPARE(find<QTreeWidget>(o.window, QStringLiteral("lstLevelSelect"))->topLevelItemCount(), 0);
    QVERIFY(o.h.scripted.settings.values.isEmpty());

    // A cancelled dialog changes nothing.
    o.h.scripted.files.cancel();
    button(o.window, QStringLiteral("Template"))->trigger();
    QCOMPARE(o.window->TemplateFile(), otherTemplate);
    QCOMPARE(visibleFrames(o.window), QStringList{QStringLiteral("fraPlaylist")});
}

void WorkspaceWindowTest::refusedTemplateFromTemplateButton()
{
    Opened o(Template({LevelSelectBlock()}));
    const QString outdated = o.h.path(QStringLiteral("new.ZORP"));
    QVERIFY(WriteTemplate(outdated, {kHeader, QStringLiteral("GAME: S1"), QStringLiteral("ZORP-II VERSION: 9.0.0")}));
    o.window->show();
    o.h.scripted.files.choose(outdated);
    button(o.window, QStringLiteral("Template"))->trigger();

    QCOMPARE(o.h.scripted.messages.asked.size(), 2);
    QCOMPARE(o.h.scripted.messages.asked[0].title, QStringLiteral("Outdated Version"));
    QCOMPARE(o.h.scripted.messages.asked[1].title, QStringLiteral("Template Refused"));
    QVERIFY(o.h.scripted.messages.asked[1].text.contains(QStringLiteral("new.ZORP")));
    QVERIFY(!o.window->isVisible());
    flushDeletes();
    QVERIFY(o.window.isNull());
}

void WorkspaceWindowTest::closingWithModifiedStagesAsks()
{
    Opened o(Template({StagesBlock(), PaletteBlock()}));
    o.window->show();
    auto* editor = find<S3SpecialStage>(o.window, QStringLiteral("S3S"));
    PaintBlue(editor, 5, 6);
    QVERIFY(editor->StageModified());
    EditPalette(o.window);

    o.h.scripted.messages.answer(Answer::Cancel);
    QVERIFY(!o.window->close());
    QCOMPARE(o.h.scripted.messages.asked.size(), 1);
    const MessageRequest& question = o.h.scripted.messages.asked[0];
    QCOMPARE(question.title, QStringLiteral("Save ROM Changes"));
    QCOMPARE(question.text,
             QStringLiteral("Changes to this ROM have not been saved.\nWould you like to save the changes?"));
    QCOMPARE(question.icon, Icon::Question);
    QCOMPARE(question.buttons, Buttons::YesNoCancel);
    QVERIFY(o.window->isVisible());
    flushDeletes();
    QVERIFY(o.window);

    // Editing goes on; answering No closes without the palette question.
    PaintBlue(editor, 7, 7);
    QCOMPARE(editor->GetStage()[7 * 32 + 7], uint8_t{Blue});
    o.h.scripted.messages.answer(Answer::No);
    QVERIFY(o.window->close());
    QCOMPARE(o.h.scripted.messages.asked.size(), 2);
    QVERIFY(ReadBytes(o.rom) == TestImage());
    flushDeletes();
    QVERIFY(o.window.isNull());
}

void WorkspaceWindowTest::closingWithModifiedStagesYesSaves()
{
    Opened o(Template({StagesBlock()}));
    o.window->show();
    auto* editor = find<S3SpecialStage>(o.window, QStringLiteral("S3S"));
    // Stage 2 gets the edit; the editor then goes back to stage 1.
    find<QComboBox>(editor, QStringLiteral("cboSpecialStage"))->setCurrentIndex(1);
    PaintBlue(editor, 1, 2);
    find<QComboBox>(editor, QStringLiteral("cboSpecialStage"))->setCurrentIndex(0);
    QVERIFY(editor->StageModified());

    o.h.scripted.messages.answer(Answer::Yes);
    QVERIFY(o.window->close());
    Bytes expected = TestImage();
    expected[kStages + 1032 + 2 * 32 + 1] = Blue;
    QVERIFY(ReadBytes(o.rom) == expected);
}

void WorkspaceWindowTest::closingWithModifiedPaletteAsks()
{
    Opened o(Template({LevelSelectBlock(), PaletteBlock()}));
    o.window->show();
    EditPalette(o.window);
    o.h.scripted.messages.answer(Answer::Cancel);
    QVERIFY(!o.window->close());
    QCOMPARE(o.h.scripted.messages.asked.size(), 1);
    QCOMPARE(o.h.scripted.messages.asked[0].title, QStringLiteral("Save Palette"));
    QVERIFY(o.window->isVisible());

    o.h.scripted.messages.answer(Answer::Yes);
    QVERIFY(o.window->close());
    const Bytes saved = ReadBytes(o.rom);
    const Bytes original = TestImage();
    QVERIFY(!std::equal(saved.begin() + kPalette, saved.begin() + kPalette + 32, original.begin() + kPalette));
    QVERIFY(std::equal(saved.begin(), saved.begin() + kPalette, original.begin()));
    QVERIFY(std::equal(saved.begin() + kPalette + 32, saved.end(), original.begin() + kPalette + 32));
}

void WorkspaceWindowTest::closingWithoutGuardedEditsAsksNothing()
{
    Opened o(Template({LevelSelectBlock(), PlaylistBlock()}));
    o.window->show();
    button(o.window, QStringLiteral("Playlist"))->trigger();
    auto* bar = find<QScrollBar>(o.window, QStringLiteral("vscPlaylist_0"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3));
    QVERIFY(o.window->close());
    QCOMPARE(o.h.scripted.messages.asked.size(), 0);
    QVERIFY(ReadBytes(o.rom) == TestImage());
}

void WorkspaceWindowTest::severalWindowsAreIndependent()
{
    Harness h;
    const QString romA = h.path(QStringLiteral("a.bin"));
    const QString romB = h.path(QStringLiteral("b.bin"));
    const QString tpl = h.path(QStringLiteral("t.ZORP"));
    QVERIFY(WriteBytes(romA, TestImage()));
    QVERIFY(WriteBytes(romB, TestImage()));
    QVERIFY(WriteTemplate(tpl, Template({PlaylistBlock()})));
    QPointer<frmZorpII> a = h.open(tpl, romA);
    QPointer<frmZorpII> b = h.open(tpl, romB);
    a->show();
    b->show();

    auto* barA = find<QScrollBar>(a, QStringLiteral("vscPlaylist_0"));
    QTest::mouseClick(barA, Qt::LeftButton, {}, QPoint(barA->width() / 2, 3));
    QCOMPARE(find<QLineEdit>(b, QStringLiteral("txtPlaylist_0"))->text(), QStringLiteral("01"));
    button(a, QStringLiteral("Save"))->trigger();
    QCOMPARE(ReadBytes(romA)[kPlaylist], uint8_t{0x82});
    QCOMPARE(ReadBytes(romB)[kPlaylist], uint8_t{0x81});

    QVERIFY(a->close());
    flushDeletes();
    QVERIFY(a.isNull());
    button(b, QStringLiteral("Save"))->trigger();
    QVERIFY(ReadBytes(romB) == TestImage());
    QVERIFY(b->close());
    flushDeletes();
    QVERIFY(b.isNull());
}

QTEST_MAIN(WorkspaceWindowTest)
#include "WorkspaceWindowTest.moc"
